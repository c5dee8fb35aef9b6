// Conversion of UTF-8 text to the 8-bit Windows-1252 form that jobs are read in.
// Characters that Windows-1252 cannot hold, and every byte of a malformed UTF-8
// sequence, become "?", as the clipboard's conversion to ANSI text does.
#pragma once

#include <string>
#include <string_view>

namespace tabulon::render {

std::string utf8ToWindows1252(std::string_view utf8);
// The same in place, for a large text that should not be held twice.
void convertUtf8ToWindows1252(std::string& text);

// The Windows-1252 byte for a Unicode code point, or '?' when there is none. The
// five bytes the code page leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand
// for the control characters of the same value, as in the platform's conversion.
char windows1252ForCodePoint(char32_t codePoint);

}  // namespace tabulon::render
