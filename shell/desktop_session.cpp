#include "desktop_session.h"

#include "qt_canvas_surface.h"
#include "qt_print_job.h"
#include "qt_question_box.h"
#include "text_codec.h"

namespace tabulon::shell {

struct DesktopSession::State {
    std::string text;
    std::string orientation;
    PreviewGeometry geometry;
};

DesktopSession::DesktopSession(platform::QtDesktop& desktop) : desktop_(desktop), state_(std::make_unique<State>()) {}

DesktopSession::~DesktopSession() = default;

void DesktopSession::takeJob(const std::string& clipboardText)
{
    state_->text = clipboardText;
    auto comma = clipboardText.find(',');
    if (comma != std::string::npos) {
        state_->orientation = clipboardText.substr(comma + 1, 1);
    }
}

std::string_view DesktopSession::orientationCode() const
{
    return state_->orientation;
}

void DesktopSession::previewWindowOpened(const PreviewGeometry& geometry)
{
    state_->geometry = geometry;
}

void DesktopSession::renderJob(render::RenderTarget target)
{
    platform::QtQuestionBox question(desktop_.window());
    if (target == render::RenderTarget::Preview) {
        auto* canvas = desktop_.canvas();
        platform::QtCanvasSurface surface(canvas->image(), ansiToQString, [canvas] { canvas->showDrawing(); });
        surface.open();
        surface.setSourceColour(0xFF0000FF);
        surface.addPathBox(10, 10, 50, 20);
        surface.fillPath();
        surface.close();
        question.ask("Multiple Pages!", "Select OK if you want to see the next.");
    } else if (target == render::RenderTarget::Printer) {
        platform::QtPrintJob job(desktop_.window());
        if (!job.choosePrinter() || !job.start("Utskrift Preview")) {
            return;
        }
        platform::QtPrinterSurface surface(job, ansiToQString);
        surface.open();
        surface.setSourceColour(0xFF000000);
        auto font = surface.loadFont("Arial", 12, false);
        surface.selectVectorFont(*font);
        surface.movePathCursor(10, 10);
        surface.drawText("Printed row");
        job.end();
    }
}

}  // namespace tabulon::shell
