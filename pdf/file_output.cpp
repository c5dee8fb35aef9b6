#include "file_output.h"

namespace tabulon::pdf {

bool isValidFileName(std::string_view path)
{
    // The system takes a name up to its first NUL: a NUL in the folder part
    // would have the file written under a name this check never saw.
    if (path.find('\0') != std::string_view::npos) return false;
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

std::string_view fileWriteReason(FileWrite result)
{
    if (result == FileWrite::kForeignLink) {
        return "It is a link that belongs to another user, in a folder anyone may write to; such a link is not "
               "followed.";
    }
    return {};
}

}  // namespace tabulon::pdf
