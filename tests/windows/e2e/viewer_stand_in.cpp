// Stands in for the PDF viewer in the end-to-end test: built as SumatraPDF.exe,
// it appends each of its arguments, as the system split its command line, as one
// UTF-8 line to the file named by TABULON_VIEWER_LOG, and ends.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

int main()
{
    wchar_t log[MAX_PATH];
    if (GetEnvironmentVariableW(L"TABULON_VIEWER_LOG", log, MAX_PATH) == 0) return 1;
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) return 1;
    FILE* file = _wfopen(log, L"ab");
    if (file == nullptr) return 1;
    for (int i = 1; i < count; ++i) {
        char utf8[4 * MAX_PATH];
        const int length = WideCharToMultiByte(CP_UTF8, 0, arguments[i], -1, utf8, sizeof utf8, nullptr, nullptr);
        if (length > 0) std::fprintf(file, "%s\n", utf8);
    }
    std::fclose(file);
    LocalFree(arguments);
    return 0;
}
