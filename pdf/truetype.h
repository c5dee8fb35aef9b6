// Reads what the writer needs from a TrueType font file: glyph count, units per
// em, bounding box, ascent and descent, italic angle, subfamily name, the advance
// width of every glyph and the map from Unicode code points to glyphs.
//
// The file comes from outside, so every read is checked against its end: a table
// directory, table, cmap segment, glyph-index array, hmtx or name record that lies
// outside the file counts as missing, never as a read past the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "font_record.h"

namespace tabulon::pdf {

// Checked big-endian reads over a font file.
class TrueTypeFile {
public:
    explicit TrueTypeFile(std::span<const std::uint8_t> data) : data_(data) {}

    bool has(std::size_t offset, std::size_t count) const
    {
        return offset <= data_.size() && count <= data_.size() - offset;
    }
    std::optional<std::uint16_t> u16(std::size_t offset) const;
    std::optional<std::int16_t> s16(std::size_t offset) const;
    std::optional<std::uint32_t> u32(std::size_t offset) const;
    std::optional<std::uint8_t> u8(std::size_t offset) const;

    // The offset of the table with tag `tag`, from the first directory entry that
    // names it. Nothing when the file is not an sfnt of version 1.0 (CFF outlines,
    // collections), when the directory runs past the end of the file, or when the
    // table's offset lies outside the file.
    std::optional<std::size_t> findTable(std::string_view tag) const;
    // The bytes of the table with tag `tag` (first directory entry), only when
    // the whole table, by its directory length, lies inside the file.
    std::optional<std::span<const std::uint8_t>> table(std::string_view tag) const;

    std::size_t size() const { return data_.size(); }

private:
    // Where the directory entry for `tag` starts, when the file is an sfnt 1.0
    // whose directory lies inside it.
    std::optional<std::size_t> directoryEntry(std::string_view tag) const;

    std::span<const std::uint8_t> data_;
};

// Walks the cmap table at `cmapOffset` and appends each code point to the
// `codes` of the glyph it maps to. Records are taken in order; a record is
// skipped when platform, encoding or format (each -1 for any) differ. The first
// record that passes is read (formats 0 and 4; other formats are skipped).
// False when no record was read.
bool readCmap(const TrueTypeFile& file, std::size_t cmapOffset, int platform, int encoding, int format,
              std::vector<GlyphRecord>& glyphs);

// The string of the first name record whose four ids match, or "".
std::string readNameString(const TrueTypeFile& file, std::size_t nameOffset, int platform, int encoding,
                           int language, int nameId);

// Fills `record` (glyphs, metrics, cidToGidMap, subfamily, stemV) from a whole
// font file. False, with the record left empty, when the file cannot be used:
// not a single sfnt 1.0 font, a required table (cmap, head, hhea, hmtx, maxp,
// name) missing or cut short, no glyphs, zero units per em or an
// index-to-location format other than 0 or 1.
bool parseTrueType(std::span<const std::uint8_t> data, TrueTypeFont& record);

// v × 1000 / unitsPerEm rounded half away from zero.
std::int32_t scaleToThousandths(std::int32_t value, double emScale);

}  // namespace tabulon::pdf
