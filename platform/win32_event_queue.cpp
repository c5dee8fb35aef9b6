#include "win32_event_queue.h"

namespace tabulon::platform {

namespace {

// The program's own gadget events on their way through the message queue:
// the gadget number in wParam, the subtype in lParam.
constexpr UINT kGadgetMessage = WM_APP + 1;

bool isKeyDown(UINT message)
{
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
}

shell::PlatformEvent keyDownEvent(int window, WPARAM virtualKey)
{
    return {shell::EventKind::KeyDown, window, 0, 0, static_cast<int>(virtualKey)};
}

shell::PlatformEvent gadgetEvent(int window, int gadget, int subtype)
{
    return {shell::EventKind::Gadget, window, gadget, subtype, 0};
}

}  // namespace

void Win32EventQueue::watchWindow(HWND window, int number)
{
    window_ = window;
    windowNumber_ = number;
}

bool Win32EventQueue::takeWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window == nullptr || window != window_) {
        return false;
    }
    switch (message) {
    case WM_CLOSE:
        // A close request: the loop decides; the window stays until it does.
        queue_.push_back({shell::EventKind::Close, windowNumber_, 0, 0, 0});
        return true;
    case WM_COMMAND:
        // A button's click. The second click of a double click arrives as
        // BN_DOUBLECLICKED from a button that draws itself; it is a click too.
        if (lParam != 0 && (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == BN_DOUBLECLICKED)) {
            queue_.push_back(gadgetEvent(windowNumber_, LOWORD(wParam), 0));
            return true;
        }
        return false;
    case kGadgetMessage:
        queue_.push_back(gadgetEvent(windowNumber_, static_cast<int>(wParam), static_cast<int>(lParam)));
        return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // Typed ahead before a modal box or dialog took over the thread's
        // messages, and handed to the window by that box's loop.
        queue_.push_back(keyDownEvent(windowNumber_, wParam));
        return true;
    default:
        return false;
    }
}

shell::PlatformEvent Win32EventQueue::waitEvent()
{
    while (queue_.empty()) {
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            // WM_QUIT (the system or another program asks the program to end),
            // or a queue that cannot be read: nothing more will come, so the
            // window is asked to close instead of waiting for ever.
            queue_.push_back({shell::EventKind::Close, windowNumber_, 0, 0, 0});
            break;
        }
        if (isKeyDown(message.message)) {
            // Keys are taken here for every window of the thread, so that a
            // button holding the focus does not keep them from the program. Not
            // dispatched: F10 and Alt would otherwise enter the system's menu mode.
            queue_.push_back(keyDownEvent(windowNumber_, message.wParam));
            continue;
        }
        DispatchMessageW(&message);
    }
    shell::PlatformEvent event = queue_.front();
    queue_.pop_front();
    return event;
}

void Win32EventQueue::postGadgetEvent(int window, int gadget, int subtype)
{
    if (window_ == nullptr || window != windowNumber_ ||
        !PostMessageW(window_, kGadgetMessage, static_cast<WPARAM>(gadget), static_cast<LPARAM>(subtype))) {
        queue_.push_back(gadgetEvent(window, gadget, subtype));
    }
}

void Win32EventQueue::closeWindow(int window)
{
    if (window == windowNumber_ && window_ != nullptr) {
        HWND closing = window_;
        window_ = nullptr;
        DestroyWindow(closing);
    }
}

}  // namespace tabulon::platform
