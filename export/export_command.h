// What tabulon-export does once its command line is understood: get the job
// text, take it in, page through it on a screenless preview (Yes at every
// question, so the font family and colours carry over as in the window) and
// export it as PDF. Messages go to `errors`, one line each.
#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "export_options.h"
#include "font_source.h"

namespace tabulon::exporter {

// The job as 8-bit Windows-1252 text, read as the options say, or false with a
// message in `error`.
bool readJobText(const ExportOptions& options, std::istream& standardInput, std::string& text, std::string& error);

// Returns the process exit status: 0 written, 1 not written.
int runExport(const ExportOptions& options, std::istream& standardInput, std::ostream& errors,
              pdf::FontSource* fontSource);

// The program: parses `argc`/`argv`, prints --help or errors, runs the export.
int exportMain(int argc, char** argv, std::istream& standardInput, std::ostream& output, std::ostream& errors,
               pdf::FontSource* fontSource);

}  // namespace tabulon::exporter
