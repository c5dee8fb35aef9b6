// The job's side of `tabulon` on the desktop: intake of the clipboard text and
// the renderer passes on the preview canvas, the printer and the PDF file. The
// preview and printer outputs, the message box and the PDF viewer come from the
// platform's toolkit; the PDF export and what it says are the same everywhere.
#pragma once

#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "font_source.h"
#include "job_renderer.h"
#include "job_state.h"
#include "session_platform.h"
#include "tabulon_app.h"

namespace tabulon::shell {

class DesktopSession : public JobSession {
public:
    // `fonts` are the system's fonts for the PDF writer. `messages` takes the
    // lines a script or a log should see: picture warnings, a PDF not saved, a
    // viewer that could not be started.
    DesktopSession(SessionPlatform& platform, std::unique_ptr<pdf::FontSource> fonts,
                   std::ostream& messages = std::cerr);

    void takeJob(const std::string& clipboardText) override;
    std::string_view orientationCode() const override;
    void previewWindowOpened(const PreviewGeometry& geometry) override;
    void renderJob(render::RenderTarget target) override;

private:
    void exportPdf();

    SessionPlatform& platform_;
    std::unique_ptr<pdf::FontSource> fonts_;
    std::ostream& messages_;
    render::JobState job_;
    render::JobRenderer renderer_;
    PreviewGeometry geometry_;
};

}  // namespace tabulon::shell
