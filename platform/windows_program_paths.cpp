// Windows: the program's own file from GetModuleFileName. Its data lie beside it
// (the folder unpacked from the zip) or, in the build tree, in share/tabulon/
// next to its bin/ folder.
#include <windows.h>

#include <algorithm>

#include "program_paths.h"
#include "windows_text.h"

namespace tabulon::platform {

namespace {

// The longest name the wide calls take.
constexpr DWORD kMaxName = 32768;

bool isAscii(std::wstring_view name)
{
    return std::all_of(name.begin(), name.end(), [](wchar_t c) { return c < 0x80; });
}

// The name as the program's 8-bit strings carry it. A name outside ASCII is
// given by its short (8.3) form where the volume keeps one: it then reaches the
// file unchanged whichever code page it passes through (the demo's job is UTF-8
// text turned into Windows-1252; file calls read the ANSI code page). Otherwise
// the ANSI form, or nothing when the code page cannot hold the name.
std::string programName(const std::wstring& name)
{
    if (isAscii(name)) return std::string(name.begin(), name.end());
    std::wstring shortName(MAX_PATH, L'\0');
    DWORD length = GetShortPathNameW(name.c_str(), shortName.data(), static_cast<DWORD>(shortName.size()));
    if (length >= shortName.size() && length <= kMaxName) {
        shortName.resize(length);
        length = GetShortPathNameW(name.c_str(), shortName.data(), length);
    }
    if (length > 0 && length < shortName.size()) {
        shortName.resize(length);
        if (isAscii(shortName)) return std::string(shortName.begin(), shortName.end());
    }
    return wideToAnsi(name).value_or(std::string());
}

}  // namespace

std::string ownProgramPath()
{
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::string();
        if (length < path.size()) {
            path.resize(length);
            return programName(path);
        }
        if (path.size() >= kMaxName) return std::string();
        path.resize(path.size() * 2);  // cut short: ask again with more room
    }
}

std::string ownFolder()
{
    const std::string path = ownProgramPath();
    const auto separator = path.find_last_of("\\/");
    return separator == std::string::npos ? "." : path.substr(0, separator);
}

std::vector<std::string> dataFilePlaces(std::string_view name)
{
    const std::string folder = ownFolder();
    std::string buildTree = folder + "\\..\\" TABULON_DATA_SUBDIR "\\" + std::string(name);
    std::replace(buildTree.begin(), buildTree.end(), '/', '\\');
    return {folder + "\\" + std::string(name), buildTree};
}

}  // namespace tabulon::platform
