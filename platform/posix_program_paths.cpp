// POSIX: the program's own file is read from /proc/self/exe.
#include <unistd.h>

#include <climits>

#include "program_paths.h"

namespace tabulon::platform {

std::string ownProgramPath()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length <= 0 ? std::string() : std::string(path, static_cast<std::size_t>(length));
}

std::string ownFolder()
{
    const std::string path = ownProgramPath();
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

std::vector<std::string> dataFilePlaces(std::string_view name)
{
    const std::string folder = ownFolder();
    const std::string file = "/" TABULON_DATA_SUBDIR "/" + std::string(name);
    // From bin/ one level up; from libexec/tabulon/ two.
    return {folder + "/.." + file, folder + "/../.." + file, TABULON_DATA_DIR "/" + std::string(name)};
}

}  // namespace tabulon::platform
