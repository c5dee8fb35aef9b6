#include "truetype.h"

#include <cmath>

namespace tabulon::pdf {

namespace {

// The code points the map covers: 0 to 65534 (65535 is the format 4 end marker).
constexpr std::uint32_t kMapSize = 65536;

void readFormat0(const TrueTypeFile& file, std::size_t subtable, std::vector<GlyphRecord>& glyphs)
{
    std::optional<std::uint16_t> length = file.u16(subtable + 2);
    if (!length || *length < 6) return;
    for (std::uint32_t i = 0; i + 6 < *length && i < 256; ++i) {
        std::optional<std::uint8_t> g = file.u8(subtable + 6 + i);
        if (!g) return;
        if (*g < glyphs.size()) glyphs[*g].codes.push_back(static_cast<std::int32_t>(i));
    }
}

// The glyph of code c in segment `segment`, or 0.
std::uint32_t format4Glyph(const TrueTypeFile& file, std::size_t rangeEntry, std::uint32_t rangeOffset,
                           std::uint32_t start, std::uint32_t delta, std::uint32_t c)
{
    if (rangeOffset == 0) return (c + delta) & 0xFFFF;
    std::optional<std::uint16_t> g = file.u16(rangeEntry + rangeOffset + 2 * (c - start));
    if (!g || *g == 0) return 0;
    return (*g + delta) & 0xFFFF;
}

// A code belongs to the first segment whose end is at or above it, and is mapped
// only when that segment also starts at or below it. Walking the codes once and
// the segments alongside keeps the work at 65536 codes plus the segment count,
// and each code maps to one glyph at most, however many segments a damaged
// table lists or however they overlap.
bool readFormat4(const TrueTypeFile& file, std::size_t subtable, std::vector<GlyphRecord>& glyphs)
{
    std::optional<std::uint16_t> segCountX2 = file.u16(subtable + 6);
    if (!segCountX2) return false;
    std::uint32_t segCount = *segCountX2 / 2u;
    std::size_t endCodes = subtable + 14;
    std::size_t startCodes = endCodes + 2 * segCount + 2;
    std::size_t deltas = startCodes + 2 * segCount;
    std::size_t rangeOffsets = deltas + 2 * segCount;
    // The four segment arrays must lie inside the file as a whole.
    if (!file.has(endCodes, 8 * static_cast<std::size_t>(segCount) + 2)) return false;
    std::uint32_t segment = 0;
    for (std::uint32_t c = 0; c < kMapSize; ++c) {
        while (segment < segCount && *file.u16(endCodes + 2 * segment) < c) ++segment;
        if (segment == segCount) break;
        std::uint32_t start = *file.u16(startCodes + 2 * segment);
        if (c < start) {
            // Codes up to the segment's start (or its end, if that comes first) map to nothing.
            std::uint32_t end = *file.u16(endCodes + 2 * segment);
            c = (start < end + 1 ? start : end + 1) - 1;
            continue;
        }
        std::uint32_t delta = *file.u16(deltas + 2 * segment);
        std::size_t rangeEntry = rangeOffsets + 2 * segment;
        std::uint32_t rangeOffset = *file.u16(rangeEntry);
        std::uint32_t g = format4Glyph(file, rangeEntry, rangeOffset, start, delta, c);
        if (g > 0 && g < glyphs.size()) glyphs[g].codes.push_back(static_cast<std::int32_t>(c));
    }
    return true;
}

std::string decodeName(const TrueTypeFile& file, std::size_t at, std::uint32_t length, std::uint16_t platform)
{
    std::string text;
    if (platform == 3) {
        for (std::uint32_t i = 0; i + 1 < length; i += 2) {
            std::uint16_t unit = *file.u16(at + i);
            text.push_back(unit < 256 ? static_cast<char>(unit) : '?');
        }
    } else {
        for (std::uint32_t i = 0; i < length; ++i) text.push_back(static_cast<char>(*file.u8(at + i)));
    }
    return text;
}

struct Tables {
    std::size_t cmap = 0, head = 0, hhea = 0, hmtx = 0, maxp = 0, name = 0;
    std::optional<std::size_t> post;
};

std::optional<Tables> locateTables(const TrueTypeFile& file)
{
    Tables tables;
    const std::pair<const char*, std::size_t*> required[] = {
        {"cmap", &tables.cmap}, {"head", &tables.head}, {"hhea", &tables.hhea},
        {"hmtx", &tables.hmtx}, {"maxp", &tables.maxp}, {"name", &tables.name},
    };
    for (const auto& [tag, offset] : required) {
        std::optional<std::size_t> found = file.findTable(tag);
        if (!found) return std::nullopt;
        *offset = *found;
    }
    tables.post = file.findTable("post");
    return tables;
}

// Advance widths from hmtx; glyphs past the last full metric take its width.
bool readAdvanceWidths(const TrueTypeFile& file, std::size_t hmtx, TrueTypeFont& record)
{
    std::uint32_t full = record.hMetricCount < record.glyphCount ? record.hMetricCount : record.glyphCount;
    std::int16_t last = 0;
    for (std::uint32_t i = 0; i < record.glyphCount; ++i) {
        if (i < full) {
            std::optional<std::int16_t> advance = file.s16(hmtx + 4 * static_cast<std::size_t>(i));
            if (!advance) return false;
            last = *advance;
        }
        GlyphRecord& glyph = record.glyphs[i];
        glyph.advanceWidth = last;
        glyph.width = last > 0 ? scaleToThousandths(last, record.emScale) : 0;
    }
    return true;
}

void buildCidToGidMap(TrueTypeFont& record)
{
    record.cidToGidMap.assign(kMapSize, 0);
    for (std::size_t g = 0; g < record.glyphs.size(); ++g) {
        for (std::int32_t c : record.glyphs[g].codes) {
            if (c >= 0 && c < 65535) record.cidToGidMap[static_cast<std::size_t>(c)] = static_cast<std::uint16_t>(g);
        }
    }
}

bool readHead(const TrueTypeFile& file, std::size_t head, TrueTypeFont& record)
{
    std::optional<std::uint16_t> unitsPerEm = file.u16(head + 18);
    std::optional<std::int16_t> locFormat = file.s16(head + 50);
    if (!unitsPerEm || !locFormat || *unitsPerEm == 0) return false;
    if (*locFormat != 0 && *locFormat != 1) return false;
    record.unitsPerEm = *unitsPerEm;
    record.emScale = 1000.0 / static_cast<double>(*unitsPerEm);
    record.indexToLocFormat = *locFormat;
    for (std::size_t i = 0; i < 4; ++i) {
        record.bbox[i] = scaleToThousandths(*file.s16(head + 36 + 2 * i), record.emScale);
    }
    return true;
}

bool containsBoldWeight(std::string subfamily)
{
    for (char& c : subfamily) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return subfamily.find("bold") != std::string::npos || subfamily.find("black") != std::string::npos;
}

bool parseTables(const TrueTypeFile& file, TrueTypeFont& record)
{
    std::optional<Tables> tables = locateTables(file);
    if (!tables) return false;
    std::optional<std::uint16_t> glyphCount = file.u16(tables->maxp + 4);
    std::optional<std::uint16_t> hMetricCount = file.u16(tables->hhea + 34);
    std::optional<std::int16_t> ascent = file.s16(tables->hhea + 4);
    std::optional<std::int16_t> descent = file.s16(tables->hhea + 6);
    if (!glyphCount || !hMetricCount || !ascent || !descent || *glyphCount == 0) return false;
    record.glyphCount = *glyphCount;
    record.hMetricCount = *hMetricCount;
    // head must hold its bounding box and index-to-location format (54 bytes).
    if (!file.has(tables->head, 54) || !readHead(file, tables->head, record)) return false;

    record.glyphs.assign(record.glyphCount, GlyphRecord{});
    record.unicodeMap = readCmap(file, tables->cmap, -1, 1, 4, record.glyphs);
    if (!readAdvanceWidths(file, tables->hmtx, record)) return false;
    buildCidToGidMap(record);

    record.ascent = scaleToThousandths(*ascent, record.emScale);
    record.descent = scaleToThousandths(*descent, record.emScale);
    record.capHeight = record.ascent;
    // The integer part of the 16.16 italic angle; the fraction adds nothing.
    record.italicAngle = 0;
    if (tables->post) {
        if (std::optional<std::int16_t> angle = file.s16(*tables->post + 4)) record.italicAngle = *angle;
    }
    record.subfamily = readNameString(file, tables->name, 1, 0, 0, 2);
    if (record.subfamily.empty()) record.subfamily = readNameString(file, tables->name, 3, 1, 1033, 2);
    record.stemV = containsBoldWeight(record.subfamily) ? 120 : 70;
    return true;
}

}  // namespace

std::optional<std::uint8_t> TrueTypeFile::u8(std::size_t offset) const
{
    if (!has(offset, 1)) return std::nullopt;
    return data_[offset];
}

std::optional<std::uint16_t> TrueTypeFile::u16(std::size_t offset) const
{
    if (!has(offset, 2)) return std::nullopt;
    return static_cast<std::uint16_t>((data_[offset] << 8) | data_[offset + 1]);
}

std::optional<std::int16_t> TrueTypeFile::s16(std::size_t offset) const
{
    std::optional<std::uint16_t> value = u16(offset);
    if (!value) return std::nullopt;
    return static_cast<std::int16_t>(*value);
}

std::optional<std::uint32_t> TrueTypeFile::u32(std::size_t offset) const
{
    if (!has(offset, 4)) return std::nullopt;
    return (static_cast<std::uint32_t>(data_[offset]) << 24) | (static_cast<std::uint32_t>(data_[offset + 1]) << 16) |
           (static_cast<std::uint32_t>(data_[offset + 2]) << 8) | data_[offset + 3];
}

std::optional<std::size_t> TrueTypeFile::directoryEntry(std::string_view tag) const
{
    if (tag.size() != 4 || u32(0) != 0x00010000u) return std::nullopt;
    std::optional<std::uint16_t> numTables = u16(4);
    if (!numTables || !has(12, 16 * static_cast<std::size_t>(*numTables))) return std::nullopt;
    for (std::size_t i = 0; i < *numTables; ++i) {
        std::size_t entry = 12 + 16 * i;
        if (std::string_view(reinterpret_cast<const char*>(data_.data() + entry), 4) == tag) return entry;
    }
    return std::nullopt;
}

std::optional<std::size_t> TrueTypeFile::findTable(std::string_view tag) const
{
    std::optional<std::size_t> entry = directoryEntry(tag);
    if (!entry) return std::nullopt;
    std::uint32_t offset = *u32(*entry + 8);
    if (offset >= data_.size()) return std::nullopt;
    return offset;
}

std::optional<std::span<const std::uint8_t>> TrueTypeFile::table(std::string_view tag) const
{
    std::optional<std::size_t> entry = directoryEntry(tag);
    if (!entry) return std::nullopt;
    std::uint32_t offset = *u32(*entry + 8);
    std::uint32_t length = *u32(*entry + 12);
    if (!has(offset, length)) return std::nullopt;
    return data_.subspan(offset, length);
}

bool readCmap(const TrueTypeFile& file, std::size_t cmapOffset, int platform, int encoding, int format,
              std::vector<GlyphRecord>& glyphs)
{
    std::optional<std::uint16_t> numTables = file.u16(cmapOffset + 2);
    if (!numTables) return false;
    for (std::size_t i = 0; i < *numTables; ++i) {
        std::size_t record = cmapOffset + 4 + 8 * i;
        std::optional<std::uint16_t> platformId = file.u16(record);
        std::optional<std::uint16_t> encodingId = file.u16(record + 2);
        std::optional<std::uint32_t> offset = file.u32(record + 4);
        if (!platformId || !encodingId || !offset) return false;
        std::size_t subtable = cmapOffset + *offset;
        std::optional<std::uint16_t> subtableFormat = file.u16(subtable);
        if (!subtableFormat) continue;
        if (platform != -1 && *platformId != platform) continue;
        if (encoding != -1 && *encodingId != encoding) continue;
        if (format != -1 && *subtableFormat != format) continue;
        if (*subtableFormat == 0) {
            readFormat0(file, subtable, glyphs);
            return true;
        }
        if (*subtableFormat == 4) return readFormat4(file, subtable, glyphs);
    }
    return false;
}

std::string readNameString(const TrueTypeFile& file, std::size_t nameOffset, int platform, int encoding,
                           int language, int nameId)
{
    std::optional<std::uint16_t> count = file.u16(nameOffset + 2);
    std::optional<std::uint16_t> storage = file.u16(nameOffset + 4);
    if (!count || !storage) return "";
    for (std::size_t i = 0; i < *count; ++i) {
        std::size_t record = nameOffset + 6 + 12 * i;
        if (!file.has(record, 12)) return "";
        std::uint16_t ids[4] = {*file.u16(record), *file.u16(record + 2), *file.u16(record + 4),
                                *file.u16(record + 6)};
        std::uint16_t length = *file.u16(record + 8);
        std::size_t at = nameOffset + *storage + *file.u16(record + 10);
        if (length == 0 || !file.has(at, length)) continue;
        if (ids[0] == platform && ids[1] == encoding && ids[2] == language && ids[3] == nameId) {
            return decodeName(file, at, length, ids[0]);
        }
    }
    return "";
}

std::int32_t scaleToThousandths(std::int32_t value, double emScale)
{
    double scaled = static_cast<double>(value) * emScale;
    scaled = value > 0 ? scaled + 0.5 : scaled - 0.5;
    return static_cast<std::int32_t>(std::trunc(scaled));
}

bool parseTrueType(std::span<const std::uint8_t> data, TrueTypeFont& record)
{
    TrueTypeFile file(data);
    if (parseTables(file, record)) return true;
    record = TrueTypeFont{};
    return false;
}

}  // namespace tabulon::pdf
