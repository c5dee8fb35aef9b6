#include "font_test_support.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>

#include "sfnt_builder.h"

namespace tabulon::test {

namespace {

using pdf::put16;
using pdf::put32;
using pdf::set16;

std::vector<std::uint8_t> headTable(const SyntheticFont& font)
{
    std::vector<std::uint8_t> t(54, 0);
    set16(t, 0, 1);
    set16(t, 18, font.unitsPerEm);
    for (int i = 0; i < 4; ++i) set16(t, 36 + 2 * static_cast<std::size_t>(i), static_cast<std::uint16_t>(font.bbox[i]));
    set16(t, 50, static_cast<std::uint16_t>(font.indexToLocFormat));
    return t;
}

std::vector<std::uint8_t> hheaTable(const SyntheticFont& font)
{
    std::vector<std::uint8_t> t(36, 0);
    set16(t, 0, 1);
    set16(t, 4, static_cast<std::uint16_t>(font.ascent));
    set16(t, 6, static_cast<std::uint16_t>(font.descent));
    set16(t, 34, static_cast<std::uint16_t>(font.advances.size()));
    return t;
}

std::vector<std::uint8_t> maxpTable(const SyntheticFont& font)
{
    std::vector<std::uint8_t> t;
    put32(t, 0x00005000);
    put16(t, font.glyphCount);
    return t;
}

std::vector<std::uint8_t> hmtxTable(const SyntheticFont& font)
{
    std::vector<std::uint8_t> t;
    for (std::uint16_t advance : font.advances) {
        put16(t, advance);
        put16(t, 0);
    }
    for (std::size_t i = font.advances.size(); i < font.glyphCount; ++i) put16(t, 0);
    return t;
}

std::vector<std::uint8_t> nameTable(const SyntheticFont& font)
{
    std::vector<std::uint8_t> storage;
    std::vector<std::uint8_t> records;
    int count = 0;
    auto record = [&](std::uint16_t platform, std::uint16_t encoding, std::uint16_t language,
                      const std::string& text) {
        std::size_t offset = storage.size();
        for (char c : text) {
            if (platform == 3) storage.push_back(0);
            storage.push_back(static_cast<std::uint8_t>(c));
        }
        put16(records, platform);
        put16(records, encoding);
        put16(records, language);
        put16(records, 2);
        put16(records, static_cast<std::uint32_t>(storage.size() - offset));
        put16(records, static_cast<std::uint32_t>(offset));
        ++count;
    };
    record(1, 0, 0, font.macSubfamily);
    record(3, 1, 1033, font.windowsSubfamily);
    std::vector<std::uint8_t> t;
    put16(t, 0);
    put16(t, static_cast<std::uint32_t>(count));
    put16(t, static_cast<std::uint32_t>(6 + records.size()));
    t.insert(t.end(), records.begin(), records.end());
    t.insert(t.end(), storage.begin(), storage.end());
    return t;
}

std::vector<std::uint8_t> postTable(const SyntheticFont& font)
{
    std::vector<std::uint8_t> t;
    put32(t, 0x00030000);
    put16(t, static_cast<std::uint16_t>(font.italicAngle));
    put16(t, font.italicFraction);
    t.resize(32, 0);
    return t;
}

std::vector<std::uint8_t> cmapTable(const SyntheticFont& font)
{
    std::vector<std::uint8_t> t;
    put16(t, 0);
    put16(t, static_cast<std::uint32_t>(font.cmaps.size()));
    std::uint32_t offset = 4 + 8 * static_cast<std::uint32_t>(font.cmaps.size());
    for (const CmapSubtable& sub : font.cmaps) {
        put16(t, sub.platform);
        put16(t, sub.encoding);
        put32(t, offset);
        offset += static_cast<std::uint32_t>(sub.bytes.size());
    }
    for (const CmapSubtable& sub : font.cmaps) t.insert(t.end(), sub.bytes.begin(), sub.bytes.end());
    return t;
}

}  // namespace

std::vector<std::uint8_t> readBinaryFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> cmapFormat4(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& deltaCodes,
                                      const std::vector<std::pair<std::uint16_t, std::uint16_t>>& rangeCodes)
{
    struct Segment {
        std::uint16_t start, end, delta, rangeOffset;
    };
    std::vector<Segment> segments;
    for (const auto& [code, glyph] : deltaCodes) {
        segments.push_back({code, code, static_cast<std::uint16_t>(glyph - code), 0});
    }
    std::vector<std::uint16_t> glyphArray;
    if (!rangeCodes.empty()) {
        std::uint16_t first = rangeCodes.front().first;
        std::uint16_t last = rangeCodes.back().first;
        std::map<std::uint16_t, std::uint16_t> glyphs(rangeCodes.begin(), rangeCodes.end());
        for (std::uint32_t c = first; c <= last; ++c) glyphArray.push_back(glyphs.count(static_cast<std::uint16_t>(c)) ? glyphs[static_cast<std::uint16_t>(c)] : 0);
        segments.push_back({first, last, 0, 1});  // rangeOffset fixed up below
    }
    std::sort(segments.begin(), segments.end(), [](const Segment& a, const Segment& b) { return a.start < b.start; });
    segments.push_back({0xFFFF, 0xFFFF, 1, 0});
    std::size_t segCount = segments.size();
    std::vector<std::uint8_t> t;
    put16(t, 4);
    put16(t, 0);  // length, set below
    put16(t, 0);
    put16(t, static_cast<std::uint32_t>(2 * segCount));
    put16(t, 0);
    put16(t, 0);
    put16(t, 0);
    for (const Segment& s : segments) put16(t, s.end);
    put16(t, 0);
    for (const Segment& s : segments) put16(t, s.start);
    for (const Segment& s : segments) put16(t, s.delta);
    for (std::size_t i = 0; i < segCount; ++i) {
        // The glyph array follows the idRangeOffset array.
        put16(t, segments[i].rangeOffset == 0 ? 0u : static_cast<std::uint32_t>(2 * (segCount - i)));
    }
    for (std::uint16_t g : glyphArray) put16(t, g);
    set16(t, 2, static_cast<std::uint32_t>(t.size()));
    return t;
}

std::vector<std::uint8_t> cmapFormat0(const std::vector<std::uint8_t>& glyphs)
{
    std::vector<std::uint8_t> t;
    put16(t, 0);
    put16(t, 6 + 256);
    put16(t, 0);
    for (std::size_t i = 0; i < 256; ++i) t.push_back(i < glyphs.size() ? glyphs[i] : 0);
    return t;
}

std::vector<std::uint8_t> buildFont(const SyntheticFont& font)
{
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> tables = {
        {"cmap", cmapTable(font)}, {"head", headTable(font)}, {"hhea", hheaTable(font)},
        {"hmtx", hmtxTable(font)}, {"maxp", maxpTable(font)}, {"name", nameTable(font)},
    };
    if (font.withPost) tables.push_back({"post", postTable(font)});
    std::vector<std::uint8_t> out;
    put32(out, 0x00010000);
    put16(out, static_cast<std::uint32_t>(tables.size()));
    put16(out, 0);
    put16(out, 0);
    put16(out, 0);
    std::size_t offset = 12 + 16 * tables.size();
    for (const auto& [tag, data] : tables) {
        out.insert(out.end(), tag.begin(), tag.end());
        put32(out, 0);
        put32(out, static_cast<std::uint32_t>(offset));
        put32(out, static_cast<std::uint32_t>(data.size()));
        offset += (data.size() + 3) & ~std::size_t{3};
    }
    for (const auto& [tag, data] : tables) {
        out.insert(out.end(), data.begin(), data.end());
        while (out.size() % 4 != 0) out.push_back(0);
    }
    return out;
}

}  // namespace tabulon::test
