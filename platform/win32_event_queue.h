// The program's event queue over the Win32 message queue. Every message of the
// thread passes through one GetMessage loop: key-downs are taken there, whichever
// of the program's windows has the focus; the window's close request, its
// buttons' clicks and the program's own posted gadget events reach the watched
// window's procedure and are handed over here. All of them end in one queue in
// the order the system delivered them, so a posted click always comes after every
// event that was already waiting, also when a modal box's loop delivered them.
#pragma once

#include <windows.h>

#include <deque>

#include "platform_events.h"

namespace tabulon::platform {

class Win32EventQueue : public shell::EventSource {
public:
    // The window's close request, its buttons' clicks (their control identifiers
    // are their gadget numbers) and the gadget events posted to it become events
    // of window `number`; closeWindow(number) destroys it.
    void watchWindow(HWND window, int number);

    // For the watched window's procedure: true when the message became an event
    // (the procedure then returns 0 without further handling).
    bool takeWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    shell::PlatformEvent waitEvent() override;
    // Posts a private message to the watched window, which becomes the gadget
    // event when the message queue hands it out. An event for a window that is
    // not watched, or one the system's queue refuses (it is full), goes straight
    // into this queue instead of being lost.
    void postGadgetEvent(int window, int gadget, int subtype) override;
    void closeWindow(int window) override;

    HWND window() const { return window_; }

private:
    std::deque<shell::PlatformEvent> queue_;
    HWND window_ = nullptr;
    int windowNumber_ = 0;
};

}  // namespace tabulon::platform
