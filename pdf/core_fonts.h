// The fourteen standard PDF fonts: their lookup names, PDF names and widths.
#pragma once

#include <cstdint>
#include <string_view>

#include "core_widths.h"

namespace tabulon::pdf {

struct CoreFont {
    std::string_view lookupName;    // upper-cased family followed by upper-cased style
    std::string_view baseFontName;  // the /BaseFont name
    const CoreWidths* widths;       // null: every code is 600 wide (Courier)
};

// The row whose lookup name equals `lookupName` exactly, or null.
const CoreFont* findCoreFont(std::string_view lookupName);

// The Helvetica row for a style: bold when it contains "B", oblique when it
// contains "I". Families the system cannot supply are written in it.
const CoreFont& helveticaForStyle(std::string_view style);

// The width of code `code` in a core font.
inline std::int16_t coreWidth(const CoreFont& font, unsigned char code)
{
    return font.widths == nullptr ? std::int16_t{600} : (*font.widths)[code];
}

// Unicode code point of a Windows-1252 byte. Codes 128 to 159 hold the euro sign,
// curly quotes, dashes and a few letters; the five codes that Windows-1252 leaves
// undefined, and every other code, map to the same number.
std::uint16_t windows1252ToUnicode(unsigned char code);

}  // namespace tabulon::pdf
