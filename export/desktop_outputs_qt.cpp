// Page pictures through the same canvas surface as the preview window, on a
// canvas laid out for the given screen, and printing through the same printer
// surface as the print button, on a printer named in advance.
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include <QGuiApplication>
#include <QScreen>

#include "desktop_outputs.h"
#include "job_renderer.h"
#include "preview_geometry.h"
#include "qt_canvas_surface.h"
#include "qt_display.h"
#include "qt_page_canvas.h"
#include "qt_print_job.h"
#include "qt_text_codec.h"

namespace tabulon::exporter {

namespace {

constexpr const char* kProgram = "tabulon-export";

// The preview answers Yes at every page, so every page is drawn in turn.
class EveryPage : public render::QuestionBox {
public:
    bool ask(const std::string&, const std::string&) override { return true; }
};

double screenDotsPerInch()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

int writePagePictures(const ExportOptions& options, const render::JobState& job, std::ostream& errors)
{
    std::error_code failed;
    std::filesystem::create_directories(options.pngDir, failed);
    const shell::PreviewGeometry geometry =
        shell::computePreviewGeometry(options.screenWidth, options.screenHeight, job.orientationCode);
    QImage image = platform::makePageImage(geometry.canvas.width, geometry.canvas.height, screenDotsPerInch());
    int page = 0;
    bool allWritten = true;
    // Every close of the canvas shows a page: at each end of page and at the end.
    platform::QtCanvasSurface surface(image, platform::ansiToQString, [&] {
        const std::string file = options.pngDir + "/page-" + std::to_string(++page) + ".png";
        if (!image.save(QString::fromStdString(file), "PNG")) {
            errors << kProgram << ": " << file << " not written\n";
            allWritten = false;
        }
    });
    EveryPage yes;
    render::RenderOutputs outputs;
    outputs.canvas = &surface;
    outputs.previewPixelsPerMm = geometry.previewPixelsPerMm;
    outputs.questionBox = &yes;
    render::JobRenderer renderer;
    renderer.renderJob(job, render::RenderTarget::Preview, outputs);
    return allWritten ? 0 : 1;
}

int printWithoutDialog(const ExportOptions& options, const render::JobState& job, std::ostream& errors)
{
    platform::QtPrintJob printJob(nullptr, options.printer);
    platform::QtPrinterSurface surface(printJob, platform::ansiToQString);
    if (!printJob.choosePrinter()) {
        std::string known;
        for (const std::string& name : platform::QtPrintJob::knownPrinters()) {
            known += (known.empty() ? "" : ", ") + name;
        }
        errors << kProgram << ": no printer named " << options.printer
               << " (known: " << (known.empty() ? "none" : known) << ")\n";
        return 1;
    }
    render::RenderOutputs outputs;
    outputs.printJob = &printJob;
    outputs.printerSurface = &surface;
    render::JobRenderer renderer;
    renderer.renderJob(job, render::RenderTarget::Printer, outputs);
    return 0;
}

}  // namespace

const char* desktopOutputsNote()
{
    return "";
}

bool handOverDesktopOutputs(char**, std::ostream&, int&)
{
    // This program draws them itself.
    return false;
}

int runDesktopOutputs(const ExportOptions& options, const render::JobState& job,
                      std::ostream& errors)
{
    // Without a display the pictures are drawn offscreen, with the same fonts.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    int argc = 1;
    char name[] = "tabulon-export";
    char* argv[] = {name, nullptr};
    // A display that cannot be opened, or never answers, ends the program with a
    // message instead of Qt's abort or a wait for ever.
    std::optional<QGuiApplication> app;
    platform::createApplicationOrExit(kProgram, "without DISPLAY the pages are drawn offscreen",
                                      [&] { app.emplace(argc, argv); });
    int status = 0;
    if (!options.pngDir.empty()) {
        status |= writePagePictures(options, job, errors);
    }
    if (!options.printer.empty()) {
        status |= printWithoutDialog(options, job, errors);
    }
    return status;
}

}  // namespace tabulon::exporter
