// PrintJob over QPrinter: the system printer dialog (CUPS printers and printing
// to a file), or a printer named in advance for printing without a dialog. The
// job's painter is the one the printer surface draws with.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QPainter>
#include <QPrinter>

#include "print_job.h"
#include "qt_painter_surface.h"

class QWidget;

namespace tabulon::platform {

class QtPrintJob : public render::PrintJob {
public:
    // With `printerName`, choosePrinter() takes that printer without a dialog.
    QtPrintJob(QWidget* dialogParent, std::optional<std::string> printerName = std::nullopt);

    // With a name, true only when the system has a printer of exactly that name.
    bool choosePrinter() override;
    // The names of the system's printers, for a message about a name it does not know.
    static std::vector<std::string> knownPrinters();
    // Prints to a PDF file instead of a printer, as the dialog's print-to-file does.
    bool chooseFile(const std::string& pdfPath);
    bool start(const std::string& documentName) override;
    void newPage() override;
    void end() override;

    // The painter of the running job, null when none runs.
    QPainter* painter();
    QPrinter& printer() { return *printer_; }

private:
    QWidget* dialogParent_;
    std::optional<std::string> printerName_;
    std::unique_ptr<QPrinter> printer_;
    std::optional<QPainter> painter_;
    bool chosen_ = false;
};

// VectorSurface on the sheets of the running print job. The origin is the top-left
// corner of the printable area; the output is the printable area in millimetres.
class QtPrinterSurface : public QtPainterSurface {
public:
    QtPrinterSurface(QtPrintJob& job, TextDecoder decodeText);

    void open() override;
    void close() override;
    double outputHeight() override;
    int canvasWidth() override;
    int canvasHeight() override;
    // Pictures keep their full resolution on paper; drawImage stretches them.
    void resizeImage(render::SurfaceImage&, int, int) override {}

private:
    QtPrintJob& job_;
};

}  // namespace tabulon::platform
