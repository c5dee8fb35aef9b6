// tabulon: reads the print job from the clipboard, shows it in the preview
// window, prints it and exports it as PDF. Reads no arguments; ends with 0 on
// every way out of its window, and with 1 when there is no display to open one.
#include <optional>

#include <QApplication>

#include "desktop_session.h"
#include "qt_desktop.h"
#include "qt_display.h"
#include "qt_text_codec.h"
#include "system_fonts.h"
#include "tabulon_app.h"

int main(int argc, char** argv)
{
    std::optional<QApplication> app;
    tabulon::platform::createApplicationOrExit("tabulon", "for work without a display use tabulon-export",
                                               [&] { app.emplace(argc, argv); });
    tabulon::platform::QtDesktop desktop(tabulon::platform::clipboardToAnsi);
    tabulon::shell::DesktopSession session(desktop, tabulon::platform::makeSystemFontSource());
    return tabulon::shell::runTabulon(desktop, session);
}
