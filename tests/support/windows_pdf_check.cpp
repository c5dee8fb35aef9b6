// The helpers of pdf_check.h that the Windows build's tests use: a temporary
// folder of the test's own and whole files in it. The PDF readers (qpdf,
// poppler) and commands through a shell are Linux's; tests that need them are
// not built for Windows, and would not link.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "pdf_check.h"

namespace tabulon::test {

std::string tempFolder()
{
    static const std::string folder = [] {
        std::error_code error;
        const std::filesystem::path base = std::filesystem::temp_directory_path(error);
        for (unsigned attempt = 0; !error && attempt < 100; ++attempt) {
            const std::filesystem::path candidate =
                base / ("tabulon-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                        std::to_string(GetTickCount64() + attempt));
            if (std::filesystem::create_directory(candidate, error)) return candidate.string();
        }
        return std::string(".");
    }();
    return folder;
}

std::string writeTempFile(const std::string& name, std::string_view bytes)
{
    std::string path = tempFolder() + "\\" + name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

}  // namespace tabulon::test
