// Keeps a Wine session's desktop process, which holds the clipboard, alive
// across a hand-over: Wine ends it about a second after the last top-level
// window closes, and a new one starts with an empty clipboard. A hidden
// top-level window, kept until the program is ended (at the latest after the
// number of seconds given as its argument, default 1800).
#include <windows.h>

#include <cstdlib>

namespace {

constexpr UINT_PTR kLifetimeTimer = 1;

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == kLifetimeTimer) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int)
{
    const long seconds = arguments != nullptr && *arguments != '\0' ? std::strtol(arguments, nullptr, 10) : 1800;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"TabulonKeepAlive";
    if (RegisterClassW(&windowClass) == 0) return 1;
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"keep alive", WS_OVERLAPPED, 0, 0, 10, 10,
                                  nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    SetTimer(window, kLifetimeTimer, static_cast<UINT>(seconds > 0 ? seconds : 1800) * 1000u, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    DestroyWindow(window);
    return 0;
}
