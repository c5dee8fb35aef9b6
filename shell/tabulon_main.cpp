// tabulon: reads the print job from the clipboard, shows it in the preview
// window, prints it and exports it as PDF. Reads no arguments; ends with 0.
#include <QApplication>

#include "desktop_session.h"
#include "qt_desktop.h"
#include "tabulon_app.h"
#include "text_codec.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    tabulon::platform::QtDesktop desktop(tabulon::shell::clipboardToAnsi);
    tabulon::shell::DesktopSession session(desktop);
    return tabulon::shell::runTabulon(desktop, session);
}
