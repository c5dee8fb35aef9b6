// Builds without the desktop programs have no page pictures and no printing.
#include "desktop_outputs.h"

namespace tabulon::exporter {

const char* desktopOutputsNote()
{
    // Its --help reads as the desktop build's; asking for these outputs says what is missing.
    return "";
}

bool handOverDesktopOutputs(char**, std::ostream&, int&)
{
    // There is no program to hand them to.
    return false;
}

int runDesktopOutputs(const ExportOptions&, const render::JobState&, std::ostream& errors)
{
    errors << "tabulon-export: --png and --print need a build with the desktop programs (TABULON_DESKTOP)\n";
    return 1;
}

}  // namespace tabulon::exporter
