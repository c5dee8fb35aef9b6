// Names between the program's 8-bit text and Windows' UTF-16 calls. Jobs, command
// lines and messages carry file names in the ANSI code page, as the A functions
// of Windows take them; the W functions get them converted here.
#pragma once

#include <windows.h>

#include <climits>
#include <optional>
#include <string>
#include <string_view>

namespace tabulon::platform {

// The ANSI name as UTF-16; nothing when it holds bytes the code page cannot
// read or a NUL (which would cut the name short), so that a damaged name is
// refused instead of naming another file.
inline std::optional<std::wstring> ansiToWide(std::string_view text)
{
    if (text.find('\0') != std::string_view::npos || text.size() > INT_MAX) return std::nullopt;
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length) != length) {
        return std::nullopt;
    }
    return wide;
}

// The UTF-16 name in the ANSI code page; nothing when a character has no exact
// place in it (no look-alike is put in its stead). Where the ANSI code page is
// UTF-8, every character has one.
inline std::optional<std::string> wideToAnsi(std::wstring_view text)
{
    if (text.size() > INT_MAX) return std::nullopt;
    if (text.empty()) return std::string();
    const int size = static_cast<int>(text.size());
    const bool utf8 = GetACP() == CP_UTF8;  // which takes neither the flag nor the question
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    BOOL* askLossy = utf8 ? nullptr : &lossy;
    const int length = WideCharToMultiByte(CP_ACP, flags, text.data(), size, nullptr, 0, nullptr, askLossy);
    if (length <= 0 || lossy) return std::nullopt;
    std::string ansi(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(CP_ACP, flags, text.data(), size, ansi.data(), length, nullptr, askLossy) != length ||
        lossy) {
        return std::nullopt;
    }
    return ansi;
}

}  // namespace tabulon::platform
