// The glyph widths of the standard fonts, in thousandths of the font size, indexed
// by single-byte character code. The tables are generated at build time from the
// Adobe metrics in data/afm (see tools/core_widths_gen.cpp).
#pragma once

#include <array>
#include <cstdint>

namespace tabulon::pdf {

using CoreWidths = std::array<std::int16_t, 256>;

extern const CoreWidths kHelveticaWidths;
extern const CoreWidths kHelveticaBoldWidths;
extern const CoreWidths kHelveticaObliqueWidths;
extern const CoreWidths kHelveticaBoldObliqueWidths;
extern const CoreWidths kTimesRomanWidths;
extern const CoreWidths kTimesBoldWidths;
extern const CoreWidths kTimesItalicWidths;
extern const CoreWidths kTimesBoldItalicWidths;
extern const CoreWidths kSymbolWidths;
extern const CoreWidths kZapfDingbatsWidths;

}  // namespace tabulon::pdf
