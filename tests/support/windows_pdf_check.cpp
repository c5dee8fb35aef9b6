// The helpers of pdf_check.h that the Windows build's tests use: the temporary
// folder of the test's own (test_files.h writes and reads the files in it). The
// PDF readers (qpdf, poppler) and commands through a shell are Linux's; tests
// that need them are not built for Windows, and would not link.
#include <windows.h>

#include <filesystem>

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

}  // namespace tabulon::test
