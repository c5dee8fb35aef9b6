// The desktop platform of `tabulon` over Qt Widgets: the preview window and its
// gadgets, the clipboard, the event queue, the outputs of the preview and printer
// passes, the message box, the PDF viewer and the release at the end.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include <QWidget>

#include "qt_event_queue.h"
#include "qt_page_canvas.h"
#include "tabulon_app.h"

namespace tabulon::platform {

// Unicode clipboard text to the job's 8-bit form.
using TextEncoder = std::string (*)(const std::u16string& text);

class QtDesktop : public shell::DesktopPlatform {
public:
    explicit QtDesktop(TextEncoder encodeText);
    ~QtDesktop() override;

    std::pair<int, int> desktopSize() override;
    bool openWindow(int window, const shell::PixelRect& rect, std::string_view title) override;
    void createCanvas(int gadget, const shell::PixelRect& rect) override;
    void createPictureButton(int gadget, const shell::PixelRect& rect, shell::ButtonPicture picture) override;
    void setTooltip(int gadget, std::string_view text) override;
    void setBackground(int window, shell::Rgb colour) override;

    std::string readClipboardText() override;
    shell::EventSource& events() override { return *events_; }
    void release() override;

    std::unique_ptr<shell::PassOutputs> openPreviewOutputs() override;
    std::unique_ptr<shell::PassOutputs> openPrinterOutputs() override;
    void showMessage(const std::string& caption, const std::string& text) override;
    // xdg-open, the desktop's default viewer, with the file as its one argument.
    std::optional<shell::ViewerFailure> startPdfViewer(const std::string& fileName) override;

    QWidget* window() { return window_.get(); }
    QtPageCanvas* canvas() { return canvas_; }
    // The screen's logical resolution, at which the canvas is drawn.
    double screenDotsPerInch() const;

private:
    TextEncoder encodeText_;
    std::unique_ptr<QtEventQueue> events_;
    std::unique_ptr<QWidget> window_;
    QtPageCanvas* canvas_ = nullptr;
    std::map<int, QWidget*> gadgets_;
};

}  // namespace tabulon::platform
