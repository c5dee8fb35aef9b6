// GDI+ for the life of the program. Every GDI+ call of the canvas, the printer and
// the button pictures needs it started; without it they fail and draw nothing.
#pragma once

#include <windows.h>

namespace tabulon::platform {

// GDI+ for the life of the program: started by the constructor, shut down by the destructor.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    bool started() const { return started_; }

private:
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

}  // namespace tabulon::platform
