// The job's side of `tabulon` on the desktop: intake of the clipboard text and
// the renderer passes on the preview canvas, the printer and the PDF file, with
// the Qt surfaces, print job and question box.
#pragma once

#include <memory>
#include <string>

#include "qt_desktop.h"
#include "tabulon_app.h"

namespace tabulon::app {

class DesktopSession : public shell::JobSession {
public:
    explicit DesktopSession(platform::QtDesktop& desktop);
    ~DesktopSession() override;

    void takeJob(const std::string& clipboardText) override;
    std::string_view orientationCode() const override;
    void previewWindowOpened(const shell::PreviewGeometry& geometry) override;
    void renderJob(render::RenderTarget target) override;

private:
    void exportPdf();

    struct State;
    platform::QtDesktop& desktop_;
    std::unique_ptr<State> state_;
};

}  // namespace tabulon::app
