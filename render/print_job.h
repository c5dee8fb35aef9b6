// PrintJob: the printer's side of a printer pass. The surface drawing on the
// sheets is a VectorSurface opened on the job after start().
#pragma once

#include <string>

namespace tabulon::render {

// The name of every print job.
inline constexpr const char* kPrintJobName = "Utskrift Preview";

class PrintJob {
public:
    virtual ~PrintJob() = default;
    // The system's printer dialog; false when the user cancels it.
    virtual bool choosePrinter() = 0;
    // Starts a job of that name on the chosen printer and begins its first sheet.
    virtual bool start(const std::string& documentName) = 0;
    // Ends the current sheet and begins the next; the open drawing goes on there.
    virtual void newPage() = 0;
    // Ends the last sheet and sends the job.
    virtual void end() = 0;
};

}  // namespace tabulon::render
