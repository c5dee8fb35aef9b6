#include <cerrno>
#include <cstring>

#include "process_start.h"
#include "program_paths.h"
#include "sibling_program.h"
#include "windows_shell_open.h"

namespace tabulon::platform {

std::string startSiblingProgram(std::string_view program)
{
    const std::string file = std::string(program) + ".exe";
    const int error = startDetached(file, {});
    if (error == 0) return {};
    const std::optional<std::string> shellProblem = openWithShell(file);
    if (!shellProblem) return {};
    if (error == ENOENT) return "not found beside " + ownProgramPath() + " or in PATH";
    return file + ": " + std::strerror(error) + "; through the shell: " + *shellProblem;
}

}  // namespace tabulon::platform
