// A temporary folder of the test program's own, and whole files in it. The
// folder is made once per program, by each system's own means (pdf_check.cpp on
// POSIX, windows_pdf_check.cpp on Windows); the files are plain C++.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace tabulon::test {

std::string tempFolder();

// Writes bytes to a fresh file under the test's temporary folder and returns its path.
inline std::string writeTempFile(const std::string& name, std::string_view bytes)
{
    std::string path = tempFolder() + "/" + name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

inline std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

}  // namespace tabulon::test
