// tabulon-export without the desktop's libraries. Page pictures and printing are
// drawn by the companion program tabulon-export-desktop, which this process
// becomes when they are asked for, so that a plain export never loads the window
// system's libraries (they cost more start-up time and memory than small jobs).
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "desktop_outputs.h"
#include "program_paths.h"

namespace tabulon::exporter {

namespace {

constexpr const char* kCompanion = "tabulon-export-desktop";

// Where the companion may be: in the libexec folder next to this program's bin
// folder (the build tree, or an installed tree wherever it was moved), and in the
// libexec folder it was configured for.
std::vector<std::string> companionPlaces()
{
    std::vector<std::string> places;
    places.push_back(platform::ownFolder() + "/../" TABULON_LIBEXEC_RELATIVE "/" + kCompanion);
    places.push_back(std::string(TABULON_LIBEXEC_DIR "/") + kCompanion);
    return places;
}

int companionMissing(std::ostream& errors, int error)
{
    errors << "tabulon-export: --png and --print are drawn by " << kCompanion << ", which could not be started: "
           << std::strerror(error) << '\n';
    return 1;
}

}  // namespace

const char* desktopOutputsNote()
{
    return "";
}

bool handOverDesktopOutputs(char** argv, std::ostream& errors, int& status)
{
    int error = ENOENT;
    for (const std::string& path : companionPlaces()) {
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
