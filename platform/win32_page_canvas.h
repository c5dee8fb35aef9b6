// The page canvas: a child window that shows a bitmap held in a memory device
// context. The preview draws into that context; the window copies the bitmap to
// the screen whenever it is painted, so the page stays on screen however often
// the window is repainted, and the drawing needs no window to be visible.
#pragma once

#include <windows.h>

#include <memory>

#include "preview_geometry.h"

namespace tabulon::platform {

class Win32PageCanvas {
public:
    // A white canvas at `rect` in `parent`, its control identifier `gadget`.
    // Null when the window or its bitmap cannot be made.
    static std::unique_ptr<Win32PageCanvas> create(HINSTANCE instance, HWND parent, int gadget,
                                                   const shell::PixelRect& rect);
    ~Win32PageCanvas();
    Win32PageCanvas(const Win32PageCanvas&) = delete;
    Win32PageCanvas& operator=(const Win32PageCanvas&) = delete;

    // The memory device context that holds the canvas's bitmap.
    HDC drawingDc() const { return drawingDc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Puts what was drawn on the screen now, not at the next turn of the loop.
    void showDrawing();

private:
    Win32PageCanvas(int width, int height) : width_(width), height_(height) {}
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HWND window);

    int width_;
    int height_;
    HWND window_ = nullptr;
    HDC drawingDc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ initialBitmap_ = nullptr;  // the context's own, put back before it is deleted
};

}  // namespace tabulon::platform
