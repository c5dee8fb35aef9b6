// The outputs of tabulon-export that need the desktop's drawing: pictures of the
// pages as the preview window draws them, and printing without a dialog.
#pragma once

#include <ostream>

#include "export_options.h"
#include "job_state.h"

namespace tabulon::exporter {

// A line for --help where this build cannot draw these outputs; empty where it can
// (itself or through its companion), or where no note is needed.
const char* desktopOutputsNote();

// Where another program draws these outputs, the process becomes that program,
// given the same arguments (the job is not read yet). Returns false when this
// program draws them itself; otherwise returns only when the handover failed,
// with a message on `errors` and the exit status in `status`.
bool handOverDesktopOutputs(char** argv, std::ostream& errors, int& status);

// Writes DIR/page-1.png, page-2.png, ... and/or prints the job. Returns the exit
// status: 0 done, 1 failed (with a message on `errors`).
int runDesktopOutputs(const ExportOptions& options, const render::JobState& job,
                      std::ostream& errors);

}  // namespace tabulon::exporter
