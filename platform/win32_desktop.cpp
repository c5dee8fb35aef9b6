#include "win32_desktop.h"

#include <commctrl.h>

#include <cstring>

#include "gdiplus_surface.h"
#include "process_start.h"
#include "win32_print_job.h"
#include "win32_question_box.h"
#include "windows_clipboard.h"
#include "windows_shell_open.h"
#include "windows_text.h"

namespace tabulon::platform {

namespace {

constexpr const wchar_t* kWindowClass = L"TabulonPreviewWindow";
constexpr const char* kPdfViewer = "SumatraPDF.exe";

// The screen's logical resolution, at which the canvas is drawn.
int screenDotsPerInch()
{
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return 96;
    const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dotsPerInch > 0 ? dotsPerInch : 96;
}

}  // namespace

Win32Desktop::Win32Desktop() : instance_(GetModuleHandleW(nullptr))
{
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};  // the tooltips
    InitCommonControlsEx(&controls);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);  // failing, openWindow fails
}

Win32Desktop::~Win32Desktop()
{
    release();
}

std::pair<int, int> Win32Desktop::desktopSize()
{
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool Win32Desktop::openWindow(int window, const shell::PixelRect& rect, std::string_view title)
{
    if (window_ != nullptr || rect.width <= 0 || rect.height <= 0) {
        return false;
    }
    const std::wstring wideTitle = ansiToWide(title).value_or(std::wstring());
    // A pop-up has no frame, so its window size is its inner size. Its children
    // are left out when it paints its background.
    window_ = CreateWindowExW(0, kWindowClass, wideTitle.c_str(), WS_POPUP | WS_CLIPCHILDREN, rect.x, rect.y,
                              rect.width, rect.height, nullptr, nullptr, instance_, this);
    if (window_ == nullptr) {
        return false;
    }
    events_.watchWindow(window_, window);
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    SetFocus(window_);
    return true;
}

void Win32Desktop::createCanvas(int gadget, const shell::PixelRect& rect)
{
    canvas_ = Win32PageCanvas::create(instance_, window_, gadget, rect);
}

void Win32Desktop::createPictureButton(int gadget, const shell::PixelRect& rect, shell::ButtonPicture picture)
{
    buttons_.create(instance_, window_, gadget, rect, picture);
}

void Win32Desktop::setTooltip(int gadget, std::string_view text)
{
    // Every gadget is a child window whose control identifier is its number.
    HWND gadgetWindow = window_ != nullptr ? GetDlgItem(window_, gadget) : nullptr;
    if (gadgetWindow == nullptr) return;
    if (tooltips_ == nullptr) {
        // One tooltip control for the window, owned by it and destroyed with it.
        tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                    instance_, nullptr);
        if (tooltips_ == nullptr) return;
    }
    std::wstring wideText = ansiToWide(text).value_or(std::wstring());
    TTTOOLINFOW tool{};
    // The size every version of the common controls takes, with or without a
    // manifest that asks for the newest.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(gadgetWindow);
    tool.lpszText = wideText.data();  // copied by the control
    SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32Desktop::setBackground(int, shell::Rgb colour)
{
    if (window_ == nullptr) return;
    HBRUSH brush = CreateSolidBrush(RGB(colour.r, colour.g, colour.b));
    if (brush == nullptr) return;
    if (background_ != nullptr) DeleteObject(background_);
    background_ = brush;
    // Painted now, buttons included, so that the window is complete before the
    // first question box appears over it.
    RedrawWindow(window_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
}

std::string Win32Desktop::readClipboardText()
{
    return readClipboardAnsiText();
}

std::unique_ptr<shell::PassOutputs> Win32Desktop::openPreviewOutputs()
{
    // The canvas's bitmap is put on the screen at every close of the surface.
    auto outputs = std::make_unique<shell::PreviewPassOutputs<GdiplusCanvasSurface, Win32QuestionBox>>(window_);
    if (Win32PageCanvas* canvas = canvas_.get()) {
        outputs->surface().emplace(canvas->drawingDc(), canvas->width(), canvas->height(), screenDotsPerInch(),
                                   [canvas] { canvas->showDrawing(); });
    }
    return outputs;
}

std::unique_ptr<shell::PassOutputs> Win32Desktop::openPrinterOutputs()
{
    return std::make_unique<shell::PrinterPassOutputs<Win32PrintJob, GdiplusPrinterSurface>>(window_);
}

void Win32Desktop::showMessage(const std::string& caption, const std::string& text)
{
    platform::showMessage(window_, caption, text);
}

std::optional<shell::ViewerFailure> Win32Desktop::startPdfViewer(const std::string& fileName)
{
    const int error = startDetached(kPdfViewer, {fileName});
    if (error == 0) {
        return std::nullopt;
    }
    const std::optional<std::string> shellProblem = openWithShell(fileName, window_);
    if (!shellProblem) {
        return std::nullopt;
    }
    return shell::ViewerFailure{kPdfViewer, std::string(std::strerror(error)) +
                                                "; the program for PDF files could not open it either: " +
                                                *shellProblem};
}

void Win32Desktop::release()
{
    canvas_.reset();  // its window, bitmap and device context
    if (window_ != nullptr) {
        DestroyWindow(window_);  // with it the buttons and the tooltip control
    }
    buttons_.release();  // the pictures
    if (background_ != nullptr) {
        DeleteObject(background_);
        background_ = nullptr;
    }
}

LRESULT CALLBACK Win32Desktop::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* desktop = reinterpret_cast<Win32Desktop*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (desktop == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return desktop->handleMessage(window, message, wParam, lParam);
}

LRESULT Win32Desktop::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && lParam != 0) {
        SetFocus(window);  // a clicked button does not keep the focus
    }
    if (events_.takeWindowMessage(window, message, wParam, lParam)) {
        return 0;
    }
    switch (message) {
    case WM_ERASEBKGND: {
        RECT area;
        GetClientRect(window, &area);
        FillRect(reinterpret_cast<HDC>(wParam), &area,
                 background_ != nullptr ? background_ : GetSysColorBrush(COLOR_WINDOW));
        return 1;
    }
    case WM_DRAWITEM:
        if (buttons_.draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
            return TRUE;
        }
        break;
    case WM_NCDESTROY:
        // Closed by the event loop or released: its children and the tooltip
        // control went before it.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (events_.window() == window) {
            events_.watchWindow(nullptr, 0);
        }
        window_ = nullptr;
        tooltips_ = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tabulon::platform
