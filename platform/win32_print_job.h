// PrintJob over GDI: the system's printer dialog, or a printer named in advance
// for printing without a dialog, and the printer's device context that the
// printer surface draws on while the job runs.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "print_job.h"

namespace tabulon::platform {

// PrintJob over GDI: choosePrinter() runs PrintDlgA over `dialogOwner` (or, with `printerName`, takes that
// printer without a dialog, as CreateDCA("WINSPOOL", name, ...)); start() is StartDocA with the job's name
// and StartPage; newPage() EndPage + StartPage; end() EndPage + EndDoc.
class Win32PrintJob : public render::PrintJob {
public:
    explicit Win32PrintJob(HWND dialogOwner, std::optional<std::string> printerName = std::nullopt);
    ~Win32PrintJob() override;
    Win32PrintJob(const Win32PrintJob&) = delete;
    Win32PrintJob& operator=(const Win32PrintJob&) = delete;

    // The dialog starts with the printer and settings chosen last time. False
    // when the user cancels it, the dialog fails, or the named printer has no
    // device context; a job still running is not interrupted (false).
    bool choosePrinter() override;
    // False without a chosen printer, while a job runs, or when the spooler
    // refuses the document or its first sheet.
    bool start(const std::string& documentName) override;
    // A sheet the spooler refuses ends the job: it is cancelled, and nothing
    // more is printed.
    void newPage() override;
    // Also lets go of the printer: the next job chooses one again.
    void end() override;

    // The chosen printer's device context, null before a printer was chosen and after end().
    HDC dc() const { return dc_; }
    // True from start() to end(), while sheets are being drawn.
    bool running() const { return running_; }

private:
    bool runDialog();
    void forgetLastChoice();
    void releaseDc();
    void cancel();

    HWND dialogOwner_;
    std::optional<std::string> printerName_;
    HDC dc_ = nullptr;
    // The dialog's last choice (DEVMODE and DEVNAMES), offered again next time.
    HGLOBAL devMode_ = nullptr;
    HGLOBAL devNames_ = nullptr;
    bool running_ = false;
};

}  // namespace tabulon::platform
