#include "win32_page_canvas.h"

namespace tabulon::platform {

namespace {

constexpr const wchar_t* kCanvasClass = L"TabulonPageCanvas";

bool registerCanvasClass(HINSTANCE instance, WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = kCanvasClass;
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

std::unique_ptr<Win32PageCanvas> Win32PageCanvas::create(HINSTANCE instance, HWND parent, int gadget,
                                                         const shell::PixelRect& rect)
{
    if (parent == nullptr || rect.width <= 0 || rect.height <= 0 || !registerCanvasClass(instance, windowProcedure)) {
        return nullptr;
    }
    std::unique_ptr<Win32PageCanvas> canvas(new Win32PageCanvas(rect.width, rect.height));

    // A 32-bit top-down bitmap, the form GDI+ draws on without conversions.
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = rect.width;
    format.bmiHeader.biHeight = -rect.height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    canvas->drawingDc_ = CreateCompatibleDC(nullptr);
    canvas->bitmap_ = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (canvas->drawingDc_ == nullptr || canvas->bitmap_ == nullptr) return nullptr;
    canvas->initialBitmap_ = SelectObject(canvas->drawingDc_, canvas->bitmap_);
    PatBlt(canvas->drawingDc_, 0, 0, rect.width, rect.height, WHITENESS);

    canvas->window_ = CreateWindowExW(0, kCanvasClass, L"", WS_CHILD | WS_VISIBLE, rect.x, rect.y, rect.width,
                                      rect.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(gadget)),
                                      instance, canvas.get());
    if (canvas->window_ == nullptr) return nullptr;
    return canvas;
}

Win32PageCanvas::~Win32PageCanvas()
{
    if (window_ != nullptr) DestroyWindow(window_);
    if (drawingDc_ != nullptr) {
        if (initialBitmap_ != nullptr) SelectObject(drawingDc_, initialBitmap_);
        DeleteDC(drawingDc_);
    }
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
}

void Win32PageCanvas::showDrawing()
{
    if (window_ == nullptr) return;
    GdiFlush();  // drawing calls the system may still hold back
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
}

void Win32PageCanvas::paint(HWND window)
{
    PAINTSTRUCT paintStruct;
    HDC dc = BeginPaint(window, &paintStruct);
    if (dc != nullptr) {
        const RECT& area = paintStruct.rcPaint;
        BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, drawingDc_, area.left,
               area.top, SRCCOPY);
    }
    EndPaint(window, &paintStruct);
}

LRESULT CALLBACK Win32PageCanvas::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* canvas = reinterpret_cast<Win32PageCanvas*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (canvas != nullptr) {
        switch (message) {
        case WM_ERASEBKGND:
            return 1;  // the bitmap covers the whole window
        case WM_PAINT:
            canvas->paint(window);
            return 0;
        case WM_NCDESTROY:
            // Destroyed with its parent: nothing left to destroy later.
            canvas->window_ = nullptr;
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            break;
        default:
            break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tabulon::platform
