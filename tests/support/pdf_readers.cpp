#include "pdf_readers.h"

#include "child_process.h"

namespace tabulon::test {

bool mutoolAccepts(const std::string& path, std::string* report)
{
    const std::vector<std::vector<std::string>> commands = {
        {"mutool", "draw", "-q", "-N", "-r", "18", "-F", "pgm", "-o", "/dev/null", path},
    };
    for (const std::vector<std::string>& command : commands) {
        ChildOptions options;
        options.arguments = command;
        ChildResult result = runChild(options);
        if (!result.started || result.exitStatus != 0 || !result.errors.empty()) {
            if (report != nullptr) {
                *report = "mutool " + command[1] + " ended with " + std::to_string(result.exitStatus) + ": " +
                          result.errors;
            }
            return false;
        }
    }
    return true;
}

}  // namespace tabulon::test
