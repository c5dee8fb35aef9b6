// The Windows build has no page pictures and no printing yet. Its --help says
// so, and a command line that asks for them fails at once, before the job is
// read, with exit status 1.
#include "desktop_outputs.h"

namespace tabulon::exporter {

namespace {

constexpr const char* kNotAvailable = "--png and --print are not available in the Windows build yet.";

int notAvailable(std::ostream& errors)
{
    errors << "tabulon-export: " << kNotAvailable << '\n';
    return 1;
}

}  // namespace

const char* desktopOutputsNote()
{
    return kNotAvailable;
}

bool handOverDesktopOutputs(char**, std::ostream& errors, int& status)
{
    // Nothing draws them: the request ends here.
    status = notAvailable(errors);
    return true;
}

int runDesktopOutputs(const ExportOptions&, const render::JobState&, std::ostream& errors)
{
    return notAvailable(errors);
}

}  // namespace tabulon::exporter
