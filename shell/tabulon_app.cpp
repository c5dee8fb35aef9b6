#include "tabulon_app.h"

namespace tabulon::shell {

int runTabulon(DesktopPlatform& platform, JobSession& session)
{
    session.takeJob(platform.readClipboardText());
    const PreviewWindowResult window = openPreviewWindow(platform, session.orientationCode());
    if (window.opened) {
        session.previewWindowOpened(window.geometry);
        session.renderJob(render::RenderTarget::Preview);
        runEventLoop(platform.events(), [&session](render::RenderTarget target) { session.renderJob(target); });
    }
    platform.release();
    return 0;
}

}  // namespace tabulon::shell
