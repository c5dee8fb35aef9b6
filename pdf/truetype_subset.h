// Cuts a TrueType font file down to the glyphs a document draws, so that an
// embedded font carries a few dozen glyphs instead of thousands.
//
// The subset is a complete TrueType file of its own: the kept glyphs are
// numbered anew in their old order (glyph 0 stays 0), composite glyphs refer to
// their parts by the new numbers, and loca, glyf, hmtx, hhea, maxp, cmap and post
// agree with that numbering. The hinting tables (cvt, fpgm, prep, gasp), OS/2 and
// name are kept as they are, so the glyphs render as in the whole font; tables
// indexed by the old numbers that a PDF reader does not use (kern, hdmx, the
// layout tables and the like) are left out. Every table checksum and the head
// table's checksum adjustment are computed for the new file.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tabulon::pdf {

struct TrueTypeSubset {
    std::vector<std::uint8_t> data;
    // Six upper-case letters derived from the kept glyphs alone, so that the
    // same glyphs of a font always give the same name.
    std::string tag;
};

// The subset of `font` holding the glyphs `glyphs` (numbers in the whole font;
// repeats allowed), glyph 0, and every glyph that a kept composite glyph is built
// from, however deep. `unicodeMap` (65536 glyph numbers by Unicode code point,
// as the writer reads them) becomes the subset's Unicode cmap, cut to the kept
// glyphs; a Macintosh Roman cmap of the whole font is carried over cut the same way.
//
// Nothing when the font cannot be cut safely: a table it needs (head, hhea, maxp,
// hmtx, loca, glyf) missing or shorter than it claims, a glyph or composite part
// that lies outside the data, or a part that names a glyph the font lacks. The
// caller then embeds the whole file.
std::optional<TrueTypeSubset> subsetTrueType(std::span<const std::uint8_t> font,
                                             std::span<const std::uint16_t> glyphs,
                                             std::span<const std::uint16_t> unicodeMap);

}  // namespace tabulon::pdf
