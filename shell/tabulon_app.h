// The start-up order and the life of `tabulon`: read the clipboard, take the job,
// open the preview window, draw the preview, run the event loop, release the
// platform and end with exit code 0 on every way out.
#pragma once

#include <string>
#include <string_view>

#include "main_loop.h"
#include "preview_window.h"
#include "session_platform.h"

namespace tabulon::shell {

// The platform as the program's life and its job session need it.
class DesktopPlatform : public WindowPlatform, public SessionPlatform {
public:
    // The clipboard as Windows-1252 text; empty when there is none.
    virtual std::string readClipboardText() = 0;
    virtual EventSource& events() = 0;
    // Releases every window, gadget, font and picture.
    virtual void release() = 0;
};

// The job's side: intake and the renderer passes.
class JobSession {
public:
    virtual ~JobSession() = default;
    virtual void takeJob(const std::string& clipboardText) = 0;
    virtual std::string_view orientationCode() const = 0;
    virtual void previewWindowOpened(const PreviewGeometry& geometry) = 0;
    virtual void renderJob(render::RenderTarget target) = 0;
};

// Returns the process's exit code, always 0. A preview window that cannot be
// opened ends the program at once instead of waiting for events that never come.
int runTabulon(DesktopPlatform& platform, JobSession& session);

}  // namespace tabulon::shell
