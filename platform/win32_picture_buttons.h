// The preview window's picture buttons: push buttons that draw nothing but their
// picture (owner-drawn, no frame or focus mark of their own) and report their
// clicks to the window as WM_COMMAND with their gadget number as the control
// identifier. The pictures are the embedded button JPEGs, decoded once.
#pragma once

#include <windows.h>

#include <map>

#include "preview_window.h"

namespace tabulon::platform {

class Win32PictureButtons {
public:
    Win32PictureButtons() = default;
    ~Win32PictureButtons() { release(); }
    Win32PictureButtons(const Win32PictureButtons&) = delete;
    Win32PictureButtons& operator=(const Win32PictureButtons&) = delete;

    // A button at `rect` in `parent`. Without its picture (which cannot be
    // decoded) it shows an empty face and still clicks.
    void create(HINSTANCE instance, HWND parent, int gadget, const shell::PixelRect& rect,
                shell::ButtonPicture picture);
    // For the parent's WM_DRAWITEM: draws the button's picture over its whole
    // face; false when the item is none of these buttons.
    bool draw(const DRAWITEMSTRUCT& item) const;
    // Deletes the pictures. The buttons themselves go with their parent window.
    void release();

private:
    std::map<int, HBITMAP> pictures_;  // by gadget number; null for a picture not decoded
};

}  // namespace tabulon::platform
