// Readers beyond qpdf and poppler that a written PDF must satisfy.
#pragma once

#include <string>

namespace tabulon::test {

// mutool (MuPDF) reads the file without complaint: "mutool info" lists it and
// "mutool draw" renders every page (without colour management, whose absence
// it would report), each ending with 0 and writing nothing on
// standard error (MuPDF reports every repair, warning and error there).
bool mutoolAccepts(const std::string& path, std::string* report = nullptr);

}  // namespace tabulon::test
