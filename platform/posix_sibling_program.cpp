#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "process_start.h"
#include "program_paths.h"
#include "sibling_program.h"

namespace tabulon::platform {

std::string startSiblingProgram(std::string_view program)
{
    const std::string name(program);
    const std::string beside = ownFolder() + "/" + name;
    std::error_code ignored;
    if (std::filesystem::exists(beside, ignored)) {
        const int error = startDetached(beside, {});
        return error == 0 ? std::string() : beside + ": " + std::strerror(error);
    }
    const int error = startDetached(name, {});
    if (error == 0) return {};
    if (error == ENOENT) return "not found beside " + ownProgramPath() + " or in PATH";
    return name + ": " + std::strerror(error);
}

}  // namespace tabulon::platform
