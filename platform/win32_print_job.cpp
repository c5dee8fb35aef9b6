#include "win32_print_job.h"

#include <commdlg.h>

namespace tabulon::platform {

Win32PrintJob::Win32PrintJob(HWND dialogOwner, std::optional<std::string> printerName)
    : dialogOwner_(dialogOwner), printerName_(std::move(printerName))
{
}

Win32PrintJob::~Win32PrintJob()
{
    // A job that was never ended is cancelled rather than sent half drawn.
    if (running_) cancel();
    releaseDc();
    forgetLastChoice();
}

void Win32PrintJob::releaseDc()
{
    if (dc_) DeleteDC(dc_);
    dc_ = nullptr;
}

void Win32PrintJob::cancel()
{
    AbortDoc(dc_);
    running_ = false;
}

bool Win32PrintJob::choosePrinter()
{
    if (running_) return false;
    releaseDc();
    if (printerName_) {
        // A NUL would cut the name short and name another printer.
        if (printerName_->empty() || printerName_->find('\0') != std::string::npos) return false;
        dc_ = CreateDCA("WINSPOOL", printerName_->c_str(), nullptr, nullptr);
        return dc_ != nullptr;
    }
    bool chosen = runDialog();
    // A dialog that fails rather than being cancelled may have been handed a
    // printer that has gone since last time: it is asked once more, afresh.
    if (!chosen && CommDlgExtendedError() != 0 && (devMode_ || devNames_)) {
        forgetLastChoice();
        chosen = runDialog();
    }
    return chosen;
}

bool Win32PrintJob::runDialog()
{
    PRINTDLGA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = dialogOwner_;
    dialog.hDevMode = devMode_;
    dialog.hDevNames = devNames_;
    // The whole job is printed: no page range and no selection to offer. Copies
    // are the driver's, and the dialog offers them only when the driver makes them.
    dialog.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
    const BOOL chosen = PrintDlgA(&dialog);
    // The dialog may have replaced the handles it was given, chosen or not.
    devMode_ = dialog.hDevMode;
    devNames_ = dialog.hDevNames;
    if (!chosen) {
        if (dialog.hDC) DeleteDC(dialog.hDC);
        return false;
    }
    dc_ = dialog.hDC;
    return dc_ != nullptr;
}

void Win32PrintJob::forgetLastChoice()
{
    if (devMode_) GlobalFree(devMode_);
    if (devNames_) GlobalFree(devNames_);
    devMode_ = nullptr;
    devNames_ = nullptr;
}

bool Win32PrintJob::start(const std::string& documentName)
{
    if (!dc_ || running_) return false;
    DOCINFOA document{};
    document.cbSize = sizeof(document);
    document.lpszDocName = documentName.c_str();
    if (StartDocA(dc_, &document) <= 0) return false;
    running_ = true;
    if (StartPage(dc_) <= 0) {
        cancel();
        return false;
    }
    return true;
}

void Win32PrintJob::newPage()
{
    if (!running_) return;
    if (EndPage(dc_) <= 0 || StartPage(dc_) <= 0) cancel();
}

void Win32PrintJob::end()
{
    if (running_) {
        running_ = false;
        if (EndPage(dc_) > 0) {
            EndDoc(dc_);
        } else {
            AbortDoc(dc_);
        }
    }
    // The next job chooses its printer again.
    releaseDc();
}

}  // namespace tabulon::platform
