// tabulon-export --check: reads the job as the export would and prints the
// checker's findings, one line each, as compilers print theirs.
#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "export_options.h"
#include "job_check.h"

namespace tabulon::exporter {

// "NAME:LINE: warning: TEXT" or "NAME:LINE: note: TEXT", without a newline.
std::string findingLine(std::string_view jobName, const render::JobFinding& finding);

// Prints the findings on `output`. Returns the exit status: 0 without a
// warning, 1 with at least one, 2 when the job cannot be read (said on `errors`).
int runCheck(const ExportOptions& options, std::istream& standardInput, std::ostream& output, std::ostream& errors);

}  // namespace tabulon::exporter
