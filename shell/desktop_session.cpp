#include "desktop_session.h"

#include "job_intake.h"
#include "pdf_export.h"
#include "pdf_writer.h"

namespace tabulon::shell {

namespace {

constexpr const char* kProgram = "tabulon";
constexpr const char* kPdfNotSavedCaption = "PDF not saved";

// The file as the viewer's argument. A name that starts with "-" would read as
// an option, so it goes by its path through the current folder instead.
std::string viewerArgument(const std::string& fileName)
{
    return fileName.starts_with('-') ? "./" + fileName : fileName;
}

}  // namespace

DesktopSession::DesktopSession(SessionPlatform& platform, std::unique_ptr<pdf::FontSource> fonts,
                               std::ostream& messages)
    : platform_(platform), fonts_(std::move(fonts)), messages_(messages)
{
}

void DesktopSession::takeJob(const std::string& clipboardText)
{
    job_ = render::intakeJob(clipboardText);
}

std::string_view DesktopSession::orientationCode() const
{
    return job_.orientationCode;
}

void DesktopSession::previewWindowOpened(const PreviewGeometry& geometry)
{
    geometry_ = geometry;
}

void DesktopSession::renderJob(render::RenderTarget target)
{
    switch (target) {
    case render::RenderTarget::Preview: {
        const std::unique_ptr<PassOutputs> pass = platform_.openPreviewOutputs();
        render::RenderOutputs outputs = pass->renderOutputs();
        outputs.previewPixelsPerMm = geometry_.previewPixelsPerMm;
        renderer_.renderJob(job_, target, outputs);
        break;
    }
    case render::RenderTarget::Printer: {
        const std::unique_ptr<PassOutputs> pass = platform_.openPrinterOutputs();
        renderer_.renderJob(job_, target, pass->renderOutputs());
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
    writer.setFontSource(fonts_.get());
    render::PdfExport pdfExport(writer);
    render::RenderOutputs outputs;
    outputs.pdfExport = &pdfExport;
    renderer_.renderJob(job_, render::RenderTarget::Pdf, outputs);

    const render::PdfExportOutcome& outcome = pdfExport.outcome();
    // A picture that may show damaged is embedded all the same; the user of a
    // window gets no box for it, a script or a log sees it on standard error.
    for (const render::PictureWarning& warning : outcome.pictureWarnings) {
        messages_ << render::pictureWarningLine(kProgram, warning) << '\n';
    }
    if (render::isSaveFailure(outcome.errorCode)) {
        // A viewer on a file that was never written would show nothing or an
        // older file of the same name; the user is told why instead.
        // The same text goes to standard error, where a script or a log sees it.
        const std::string message = render::fileNameForMessage(outcome.fileName) + " could not be written (error " +
                                    std::to_string(outcome.errorCode) + "): " + render::saveFailureText(outcome);
        messages_ << kProgram << ": " << message << '\n';
        platform_.showMessage(kPdfNotSavedCaption, message);
        return;
    }
    // The file is written either way; without a viewer nothing would show that.
    if (const auto failure = platform_.startPdfViewer(viewerArgument(outcome.fileName))) {
        messages_ << kProgram << ": " << render::fileNameForMessage(outcome.fileName) << " is written, but the viewer "
                  << failure->viewer << " could not be started: " << failure->reason << '\n';
    }
}

}  // namespace tabulon::shell
