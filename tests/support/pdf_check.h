// Helpers that look at written PDF files the way a reader does: through the xref
// table, and through qpdf and poppler.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "test_files.h"

namespace tabulon::test {

// Lines of a byte string split at "\n" (the last empty piece dropped).
std::vector<std::string> splitLines(std::string_view bytes);

// Walks the file from "startxref" to its xref table and checks that every in-use
// entry points at "N 0 obj" for its own N, that the table has /Size entries and that
// every entry line is 20 bytes. Returns "" when all holds, else what failed.
std::string checkXref(std::string_view pdf);

// The content of object `number` up to its "endobj", found through the xref table.
std::string objectText(std::string_view pdf, int number);

// Runs a command, returning its exit status and what it wrote on stdout.
struct CommandResult {
    int status = -1;
    std::string output;
};
CommandResult runCommand(const std::string& command);

// qpdf --check passes on the file (warnings count as failure).
bool qpdfAccepts(const std::string& path, std::string* report = nullptr);
// The page count pdfinfo reports, or -1.
int pdfinfoPages(const std::string& path);
// The text pdftotext extracts (layout mode off), of every page or of one.
std::string pdfText(const std::string& path, int page = 0);

}  // namespace tabulon::test
