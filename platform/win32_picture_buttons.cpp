#include "win32_picture_buttons.h"

#include "button_pictures.h"
#include "gdiplus_pictures.h"

namespace tabulon::platform {

void Win32PictureButtons::create(HINSTANCE instance, HWND parent, int gadget, const shell::PixelRect& rect,
                                 shell::ButtonPicture picture)
{
    if (parent == nullptr) return;
    HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect.x, rect.y,
                                  rect.width, rect.height, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(gadget)), instance, nullptr);
    if (button == nullptr) return;
    if (HBITMAP earlier = pictures_[gadget]) DeleteObject(earlier);
    pictures_[gadget] = decodePictureToBitmap(buttonPictureData(picture));
}

bool Win32PictureButtons::draw(const DRAWITEMSTRUCT& item) const
{
    if (item.CtlType != ODT_BUTTON) return false;
    const auto found = pictures_.find(static_cast<int>(item.CtlID));
    if (found == pictures_.end()) return false;
    const RECT& face = item.rcItem;
    if (found->second == nullptr) {
        FillRect(item.hDC, &face, GetSysColorBrush(COLOR_BTNFACE));
        return true;
    }
    BITMAP size{};
    GetObjectW(found->second, sizeof size, &size);
    HDC source = CreateCompatibleDC(item.hDC);
    if (source == nullptr) return true;
    HGDIOBJ initial = SelectObject(source, found->second);
    SetStretchBltMode(item.hDC, HALFTONE);
    StretchBlt(item.hDC, face.left, face.top, face.right - face.left, face.bottom - face.top, source, 0, 0,
               size.bmWidth, size.bmHeight, SRCCOPY);
    SelectObject(source, initial);
    DeleteDC(source);
    return true;
}

void Win32PictureButtons::release()
{
    for (auto& [gadget, bitmap] : pictures_) {
        if (bitmap != nullptr) DeleteObject(bitmap);
    }
    pictures_.clear();
}

}  // namespace tabulon::platform
