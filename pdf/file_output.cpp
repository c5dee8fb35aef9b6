#include "file_output.h"

namespace tabulon::pdf {

bool isValidFileName(std::string_view path)
{
    const std::size_t separator = path.find_last_of("/\\");
    const std::string_view name = separator == std::string_view::npos ? path : path.substr(separator + 1);
    if (name.empty()) return false;
    for (unsigned char c : name) {
        if (c < 32) return false;
        switch (c) {
        case '"': case ':': case '*': case '?': case '<': case '>': case '|':
            return false;
        default:
            break;
        }
    }
    return true;
}

}  // namespace tabulon::pdf
