// The events the main loop waits for, and the few window operations it needs,
// as a small interface that the Qt platform layer implements and the tests fake.
#pragma once

namespace tabulon::shell {

enum class EventKind {
    KeyDown,  // ordinary and system key-down (Alt held) alike
    Gadget,   // a click of a gadget, real or posted
    Close,    // the platform's request to close a window
    Other,
};

struct PlatformEvent {
    EventKind kind = EventKind::Other;
    int window = 0;
    int gadget = 0;      // Gadget events
    int subtype = 0;     // Gadget events: 0 is a plain click
    int virtualKey = 0;  // KeyDown events: the Windows virtual-key code
};

class EventSource {
public:
    virtual ~EventSource() = default;
    // Blocks until the next event of the program's windows.
    virtual PlatformEvent waitEvent() = 0;
    // Puts a gadget event at the end of the program's own queue, behind every
    // event that is already waiting.
    virtual void postGadgetEvent(int window, int gadget, int subtype) = 0;
    virtual void closeWindow(int window) = 0;
};

}  // namespace tabulon::shell
