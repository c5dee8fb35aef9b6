// The records behind the writer's font list: one FontRecord per family and style
// selected in the document, and one FontFileRecord per TrueType file to embed.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "byte_buffer.h"

namespace tabulon::pdf {

enum class FontKind : std::int32_t { Core = 0, TrueType = 1 };

struct GlyphRecord {
    std::vector<std::int32_t> codes;  // Unicode code points that map to this glyph
    std::int16_t advanceWidth = 0;    // font units
    std::int32_t width = 0;           // thousandths of the em
};

// What the writer reads from one TrueType file: its metrics, the advance width
// of every glyph and the map from code points to glyphs. It is read once per
// file; every font record of that file shares it.
struct TrueTypeFont {
    std::uint32_t glyphCount = 0;
    std::uint32_t hMetricCount = 0;
    std::int32_t indexToLocFormat = 0;
    std::uint32_t unitsPerEm = 0;
    double emScale = 0.0;  // 1000 / unitsPerEm
    std::int32_t ascent = 0;
    std::int32_t descent = 0;
    std::int32_t capHeight = 0;
    std::int32_t italicAngle = 0;
    std::int32_t stemV = 0;
    std::array<std::int32_t, 4> bbox{};  // xMin, yMin, xMax, yMax
    // 65536 glyph indices by Unicode code point.
    std::vector<std::uint16_t> cidToGidMap;
    std::vector<GlyphRecord> glyphs;
    std::string subfamily;
    // Whether the map came from a Unicode subtable of the file's cmap; without
    // one every code reads as glyph 0, and the glyphs a text shows cannot be told.
    bool unicodeMap = false;
};

struct FontRecord {
    std::int32_t objectNumber = 0;
    std::int32_t number = 0;  // resource name is "/F" + number
    FontKind kind = FontKind::Core;
    std::int32_t composite = 0;

    // The loaded TrueType file (kind TrueType only; null for core fonts and
    // after the font objects are written).
    std::shared_ptr<const TrueTypeFont> trueType;
    // Index into the document's fontFiles of the file embedded for this font;
    // -1 for core fonts. Records that share a face and style share the file.
    std::int32_t fontFile = -1;

    std::string baseFontName;
    std::string style;
    std::string fontKey;
    std::array<std::int16_t, 256> widths{};
    // The character codes drawn in this font, one bit each, when the document
    // embeds font subsets.
    std::array<std::uint64_t, 4> usedCodes{};
};

struct FontFileRecord {
    ByteBuffer data;
    std::int32_t objectNumber = 0;
    std::int32_t styleFlags = 0;  // 256 bold, 512 italic, 4 underline
    std::string faceName;
    // The loaded font, shared with the records that use this file.
    std::shared_ptr<const TrueTypeFont> font;
    // "ABCDEF" when the file is embedded as a subset, else empty.
    std::string subsetTag;
};

}  // namespace tabulon::pdf
