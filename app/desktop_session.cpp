#include "desktop_session.h"

#include <cstring>
#include <iostream>

#include "job_intake.h"
#include "job_renderer.h"
#include "pdf_export.h"
#include "pdf_writer.h"
#include "process_start.h"
#include "qt_canvas_surface.h"
#include "qt_print_job.h"
#include "qt_question_box.h"
#include "system_fonts.h"
#include "qt_text_codec.h"

namespace tabulon::app {

namespace {

constexpr const char* kProgram = "tabulon";
constexpr const char* kViewer = "xdg-open";
constexpr const char* kPdfNotSavedCaption = "PDF not saved";

}  // namespace

struct DesktopSession::State {
    render::JobState job;
    render::JobRenderer renderer;
    shell::PreviewGeometry geometry;
    std::unique_ptr<pdf::FontSource> fonts = platform::makeSystemFontSource();
};

DesktopSession::DesktopSession(platform::QtDesktop& desktop) : desktop_(desktop), state_(std::make_unique<State>()) {}

DesktopSession::~DesktopSession() = default;

void DesktopSession::takeJob(const std::string& clipboardText)
{
    state_->job = render::intakeJob(clipboardText);
}

std::string_view DesktopSession::orientationCode() const
{
    return state_->job.orientationCode;
}

void DesktopSession::previewWindowOpened(const shell::PreviewGeometry& geometry)
{
    state_->geometry = geometry;
}

void DesktopSession::renderJob(render::RenderTarget target)
{
    render::RenderOutputs outputs;
    switch (target) {
    case render::RenderTarget::Preview: {
        platform::QtPageCanvas* canvas = desktop_.canvas();
        platform::QtCanvasSurface surface(canvas->image(), platform::ansiToQString, [canvas] { canvas->showDrawing(); });
        platform::QtQuestionBox question(desktop_.window());
        outputs.canvas = &surface;
        outputs.previewPixelsPerMm = state_->geometry.previewPixelsPerMm;
        outputs.questionBox = &question;
        state_->renderer.renderJob(state_->job, target, outputs);
        break;
    }
    case render::RenderTarget::Printer: {
        platform::QtPrintJob job(desktop_.window());
        platform::QtPrinterSurface surface(job, platform::ansiToQString);
        outputs.printJob = &job;
        outputs.printerSurface = &surface;
        state_->renderer.renderJob(state_->job, target, outputs);
        break;
    }
    case render::RenderTarget::Pdf:
        exportPdf();
        break;
    }
}

void DesktopSession::exportPdf()
{
    pdf::PdfWriter writer;
    writer.setFontSource(state_->fonts.get());
    render::PdfExport pdfExport(writer);
    render::RenderOutputs outputs;
    outputs.pdfExport = &pdfExport;
    state_->renderer.renderJob(state_->job, render::RenderTarget::Pdf, outputs);

    const render::PdfExportOutcome& outcome = pdfExport.outcome();
    // A picture that may show damaged is embedded all the same; the user of a
    // window gets no box for it, a script or a log sees it on standard error.
    for (const render::PictureWarning& warning : outcome.pictureWarnings) {
        std::cerr << render::pictureWarningLine(kProgram, warning) << '\n';
    }
    if (render::isSaveFailure(outcome.errorCode)) {
        // A viewer on a file that was never written would show nothing or an
        // older file of the same name; the user is told why instead.
        // The same text goes to standard error, where a script or a log sees it.
        const std::string message = render::fileNameForMessage(outcome.fileName) + " could not be written (error " +
                                    std::to_string(outcome.errorCode) + "): " + outcome.errorText;
        std::cerr << kProgram << ": " << message << '\n';
        platform::showMessage(desktop_.window(), kPdfNotSavedCaption, message);
        return;
    }
    // The file is written either way; without a viewer nothing would show that.
    if (const int error = platform::startDetached(kViewer, {outcome.fileName}); error != 0) {
        std::cerr << kProgram << ": " << render::fileNameForMessage(outcome.fileName) << " is written, but the viewer "
                  << kViewer << " could not be started: " << std::strerror(error) << '\n';
    }
}

}  // namespace tabulon::app
