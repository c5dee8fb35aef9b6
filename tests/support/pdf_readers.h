// Readers beyond qpdf and poppler that a written PDF must satisfy.
#pragma once

#include <string>

namespace tabulon::test {

// mutool (MuPDF) reads the file without complaint: "mutool draw" renders every
// page (without colour management, whose absence it would report), ends with 0
// and writes nothing on standard error, where MuPDF reports every repair, warning
// and error it meets in the file's objects, contents, fonts and pictures.
bool mutoolAccepts(const std::string& path, std::string* report = nullptr);

}  // namespace tabulon::test
