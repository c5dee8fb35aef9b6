// tabulon-export without the desktop's libraries. Page pictures and printing are
// drawn by the companion program tabulon-export-desktop, which this process
// becomes when they are asked for, so that a plain export never loads the window
// system's libraries (they cost more start-up time and memory than small jobs).
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

#include "desktop_outputs.h"

namespace tabulon::exporter {

namespace {

constexpr const char* kCompanion = "tabulon-export-desktop";

// The companion beside this program's own file: where the build puts it.
std::string besideThisProgram()
{
    char path[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    std::string self(path, static_cast<std::size_t>(length));
    std::size_t slash = self.rfind('/');
    return slash == std::string::npos ? std::string() : self.substr(0, slash + 1) + kCompanion;
}

int companionMissing(std::ostream& errors, int error)
{
    errors << "tabulon-export: --png and --print are drawn by " << kCompanion << ", which could not be started: "
           << std::strerror(error) << '\n';
    return 1;
}

}  // namespace

bool wantsDesktopOutputs(const ExportOptions& options)
{
    return !options.pngDir.empty() || !options.printer.empty();
}

bool handOverDesktopOutputs(char** argv, std::ostream& errors, int& status)
{
    int error = ENOENT;
    for (const std::string& path : {besideThisProgram(), std::string(TABULON_LIBEXEC_DIR "/") + kCompanion}) {
        if (path.empty()) continue;
        ::execv(path.c_str(), argv);  // returns only when the program could not be started
        if (errno != ENOENT || error == ENOENT) error = errno;
    }
    status = companionMissing(errors, error);
    return true;
}

int runDesktopOutputs(const ExportOptions&, const render::JobState&, std::ostream& errors)
{
    return companionMissing(errors, ENOENT);
}

}  // namespace tabulon::exporter
