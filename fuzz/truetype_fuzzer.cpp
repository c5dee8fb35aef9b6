// Feeds arbitrary bytes to the TrueType parser as a font file and checks what a
// caller relies on: a failed parse leaves none of the font's fields filled; a
// successful one gives a record whose maps
// agree with each other, and every Unicode code maps to at most one glyph, so
// the work and memory stay bounded by the 65536 codes whatever the file claims.
#include <cmath>
#include <span>
#include <vector>

#include "fuzz_check.h"
#include "harnesses.h"
#include "truetype.h"
#include "truetype_subset.h"

namespace tabulon::fuzz::truetype {

namespace {

using pdf::TrueTypeFont;
using pdf::GlyphRecord;

constexpr std::size_t kCodeCount = 65536;

// A record that still holds another font's values.
TrueTypeFont staleRecord()
{
    TrueTypeFont record;
    record.glyphCount = 3;
    record.hMetricCount = 3;
    record.indexToLocFormat = 1;
    record.unitsPerEm = 2048;
    record.emScale = 1000.0 / 2048.0;
    record.ascent = record.descent = record.capHeight = record.italicAngle = record.stemV = 9;
    record.bbox = {1, 2, 3, 4};
    record.cidToGidMap.assign(kCodeCount, 1);
    record.glyphs.assign(3, GlyphRecord{{65}, 100, 49});
    record.subfamily = "stale";
    record.unicodeMap = true;
    return record;
}

void checkCleared(const TrueTypeFont& record)
{
    TrueTypeFont empty;
    require(record.glyphCount == 0 && record.hMetricCount == 0 && record.indexToLocFormat == 0 &&
                record.unitsPerEm == 0 && record.emScale == 0.0 && record.ascent == 0 && record.descent == 0 &&
                record.capHeight == 0 && record.italicAngle == 0 && record.stemV == 0 &&
                record.bbox == empty.bbox && record.cidToGidMap.empty() && record.glyphs.empty() &&
                record.subfamily.empty() && !record.unicodeMap,
            "a failed parse left fields filled");
}

// Every code listed under a glyph lies in 0..65535 and appears once in all.
void checkCodesUnique(const std::vector<GlyphRecord>& glyphs)
{
    std::vector<bool> seen(kCodeCount, false);
    for (const GlyphRecord& glyph : glyphs) {
        for (std::int32_t code : glyph.codes) {
            require(code >= 0 && static_cast<std::size_t>(code) < kCodeCount, "a code outside 0..65535");
            require(!seen[static_cast<std::size_t>(code)], "a code listed under two glyphs or twice");
            seen[static_cast<std::size_t>(code)] = true;
        }
    }
}

void checkParsed(const TrueTypeFont& record)
{
    require(record.glyphCount > 0 && record.glyphs.size() == record.glyphCount, "glyph list and count differ");
    require(record.unitsPerEm > 0 && record.emScale == 1000.0 / static_cast<double>(record.unitsPerEm),
            "units per em and scale differ");
    require(record.indexToLocFormat == 0 || record.indexToLocFormat == 1, "index-to-location format not 0 or 1");
    require(record.stemV == 70 || record.stemV == 120, "stem width neither regular nor bold");
    require(record.capHeight == record.ascent, "cap height is not the ascent");
    require(record.cidToGidMap.size() == kCodeCount, "the code-to-glyph map is not 65536 entries");
    checkCodesUnique(record.glyphs);
    for (std::size_t g = 0; g < record.glyphs.size(); ++g) {
        const GlyphRecord& glyph = record.glyphs[g];
        require(glyph.advanceWidth > 0 ? glyph.width == pdf::scaleToThousandths(glyph.advanceWidth, record.emScale)
                                       : glyph.width == 0,
                "a glyph width that is not its scaled advance");
        for (std::int32_t code : glyph.codes) {
            if (code < 65535) {
                require(record.cidToGidMap[static_cast<std::size_t>(code)] == g,
                        "the code-to-glyph map disagrees with a glyph's codes");
            }
        }
    }
    for (std::uint16_t g : record.cidToGidMap) require(g < record.glyphCount, "the map names a glyph past the count");
}

// The subset of a parsed font keeps, for every code it was asked for, a glyph of
// the same advance width; the parser reads it like any font whenever the whole
// font's optional tables were whole.
void checkSubset(std::span<const std::uint8_t> bytes, const TrueTypeFont& record)
{
    std::vector<std::uint16_t> glyphs;
    for (std::size_t c = 32; c < 256; ++c) glyphs.push_back(record.cidToGidMap[c]);
    std::optional<pdf::TrueTypeSubset> subset = pdf::subsetTrueType(bytes, glyphs, record.cidToGidMap);
    if (!subset) return;
    require(subset->tag.size() == 6 && subset->tag.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string::npos,
            "a subset tag that is not six capital letters");
    TrueTypeFont reread;
    if (!pdf::parseTrueType(subset->data, reread)) return;
    require(reread.glyphCount <= record.glyphCount, "a subset with more glyphs than its font");
    for (std::size_t c = 32; c < 256; ++c) {
        require(reread.glyphs[reread.cidToGidMap[c]].advanceWidth == record.glyphs[record.cidToGidMap[c]].advanceWidth,
                "a subset glyph whose advance differs from the whole font's");
    }
}

// The cmap walk on its own, taking the first subtable of any kind, so format 0
// and other platforms' subtables are read too.
void walkAnyCmap(std::span<const std::uint8_t> bytes)
{
    pdf::TrueTypeFile file(bytes);
    std::optional<std::size_t> cmap = file.findTable("cmap");
    if (!cmap) return;
    std::vector<GlyphRecord> glyphs(256);
    pdf::readCmap(file, *cmap, -1, -1, -1, glyphs);
    checkCodesUnique(glyphs);
    std::optional<std::size_t> name = file.findTable("name");
    if (name) pdf::readNameString(file, *name, 3, 1, 1033, 1);
}

}  // namespace

int fuzzOne(const std::uint8_t* data, std::size_t size)
{
    std::span<const std::uint8_t> bytes(data, size);
    TrueTypeFont record = staleRecord();
    if (pdf::parseTrueType(bytes, record)) {
        checkParsed(record);
        checkSubset(bytes, record);
    } else {
        checkCleared(record);
    }
    walkAnyCmap(bytes);
    return 0;
}

}  // namespace tabulon::fuzz::truetype
