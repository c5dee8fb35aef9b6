// tabulon.exe: reads the print job from the clipboard, shows it in the preview
// window, prints it and exports it as PDF. Reads no arguments; ends with 0 on
// every way out of its window, also when the window cannot be opened.
#include <windows.h>

#include "desktop_session.h"
#include "gdiplus_session.h"
#include "system_fonts.h"
#include "tabulon_app.h"
#include "win32_desktop.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // GDI+ outlives the desktop, which releases every window, bitmap and
    // surface before GDI+ ends.
    const tabulon::platform::GdiplusSession gdiplus;
    tabulon::platform::Win32Desktop desktop;
    tabulon::shell::DesktopSession session(desktop, tabulon::platform::makeSystemFontSource());
    return tabulon::shell::runTabulon(desktop, session);
}
