#include "qt_print_job.h"

#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinterInfo>

namespace tabulon::platform {

QtPrintJob::QtPrintJob(QWidget* dialogParent, std::optional<std::string> printerName)
    : dialogParent_(dialogParent), printerName_(std::move(printerName)),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
}

bool QtPrintJob::choosePrinter()
{
    if (printerName_) {
        // A name the system does not know leaves QPrinter on the default
        // printer, still valid: the job would go to another printer.
        const QString name = QString::fromStdString(*printerName_);
        chosen_ = !printerName_->empty() && QPrinterInfo::availablePrinterNames().contains(name);
        if (chosen_) {
            printer_->setPrinterName(name);
            chosen_ = printer_->isValid() && printer_->printerName() == name;
        }
        return chosen_;
    }
    QPrintDialog dialog(printer_.get(), dialogParent_);
    chosen_ = dialog.exec() == QDialog::Accepted;
    return chosen_;
}

std::vector<std::string> QtPrintJob::knownPrinters()
{
    std::vector<std::string> names;
    for (const QString& name : QPrinterInfo::availablePrinterNames()) names.push_back(name.toStdString());
    return names;
}

bool QtPrintJob::chooseFile(const std::string& pdfPath)
{
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(QString::fromStdString(pdfPath));
    chosen_ = true;
    return chosen_;
}

bool QtPrintJob::start(const std::string& documentName)
{
    if (!chosen_ || painter_) {
        return false;
    }
    printer_->setDocName(QString::fromStdString(documentName));
    painter_.emplace();
    if (!painter_->begin(printer_.get())) {
        painter_.reset();
        return false;
    }
    return true;
}

void QtPrintJob::newPage()
{
    if (painter_) {
        printer_->newPage();
    }
}

void QtPrintJob::end()
{
    if (painter_) {
        painter_->end();
        painter_.reset();
    }
    chosen_ = false;
}

QPainter* QtPrintJob::painter()
{
    return painter_ ? &*painter_ : nullptr;
}

QtPrinterSurface::QtPrinterSurface(QtPrintJob& job, TextDecoder decodeText)
    : QtPainterSurface(decodeText), job_(job)
{
}

void QtPrinterSurface::open()
{
    QPrinter& printer = job_.printer();
    beginDrawing(job_.painter(), printer.resolution() / 25.4);
}

void QtPrinterSurface::close()
{
    endDrawing();
}

double QtPrinterSurface::outputHeight()
{
    return job_.printer().pageLayout().paintRect(QPageLayout::Millimeter).height();
}

int QtPrinterSurface::canvasWidth()
{
    return job_.printer().width();
}

int QtPrinterSurface::canvasHeight()
{
    return job_.printer().height();
}

}  // namespace tabulon::platform
