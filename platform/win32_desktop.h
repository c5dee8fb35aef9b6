// The desktop platform of `tabulon` over Win32: the preview window (a pop-up
// without frame) with its page canvas, picture buttons and tooltips, the
// clipboard, the event queue, the outputs of the preview and printer passes
// (drawn with GDI+), the message box, the PDF viewer and the release at the end.
// GDI+ itself is started and ended by the program (GdiplusSession), around the
// life of this object.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "tabulon_app.h"
#include "win32_event_queue.h"
#include "win32_page_canvas.h"
#include "win32_picture_buttons.h"

namespace tabulon::platform {

class Win32Desktop : public shell::DesktopPlatform {
public:
    Win32Desktop();
    ~Win32Desktop() override;
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;

    std::pair<int, int> desktopSize() override;
    bool openWindow(int window, const shell::PixelRect& rect, std::string_view title) override;
    void createCanvas(int gadget, const shell::PixelRect& rect) override;
    void createPictureButton(int gadget, const shell::PixelRect& rect, shell::ButtonPicture picture) override;
    void setTooltip(int gadget, std::string_view text) override;
    void setBackground(int window, shell::Rgb colour) override;

    std::string readClipboardText() override;
    shell::EventSource& events() override { return events_; }
    void release() override;

    std::unique_ptr<shell::PassOutputs> openPreviewOutputs() override;
    std::unique_ptr<shell::PassOutputs> openPrinterOutputs() override;
    void showMessage(const std::string& caption, const std::string& text) override;
    // SumatraPDF.exe, found by the system's program search, with the file as its
    // one argument; when it cannot be started, the user's program for PDF files.
    std::optional<shell::ViewerFailure> startPdfViewer(const std::string& fileName) override;

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_;
    Win32EventQueue events_;
    HWND window_ = nullptr;
    HBRUSH background_ = nullptr;
    HWND tooltips_ = nullptr;
    std::unique_ptr<Win32PageCanvas> canvas_;
    Win32PictureButtons buttons_;
};

}  // namespace tabulon::platform
