// The format 4 cmap walk on damaged tables: segments out of order, overlapping,
// ending before they start, or thousands of them each covering every code. A
// code takes the glyph of the first segment that ends at or above it, and the
// walk lists each code once at most.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "truetype.h"

namespace {

using tabulon::pdf::GlyphRecord;

struct Segment {
    std::uint16_t start, end, delta;
};

void put16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

// A cmap with one (3,1) format 4 subtable of `segments` (no glyph-index array).
std::vector<std::uint8_t> cmapWith(const std::vector<Segment>& segments)
{
    std::vector<std::uint8_t> out;
    for (std::uint32_t v : {0u, 1u, 3u, 1u, 0u, 12u}) put16(out, v);
    std::size_t count = segments.size();
    for (std::uint32_t v : {4u, static_cast<std::uint32_t>(16 + 8 * count) & 0xFFFF, 0u,
                            static_cast<std::uint32_t>(2 * count), 0u, 0u, 0u}) {
        put16(out, v);
    }
    for (const Segment& s : segments) put16(out, s.end);
    put16(out, 0);
    for (const Segment& s : segments) put16(out, s.start);
    for (const Segment& s : segments) put16(out, s.delta);
    for (std::size_t i = 0; i < count; ++i) put16(out, 0);
    return out;
}

// The glyph each code is listed under, 0 for none; fails when a code is listed twice.
std::vector<std::uint32_t> glyphOfCode(const std::vector<GlyphRecord>& glyphs)
{
    std::vector<std::uint32_t> map(65536, 0);
    for (std::size_t g = 0; g < glyphs.size(); ++g) {
        for (std::int32_t c : glyphs[g].codes) {
            EXPECT_EQ(map[static_cast<std::size_t>(c)], 0u) << "code " << c << " listed twice";
            map[static_cast<std::size_t>(c)] = static_cast<std::uint32_t>(g);
        }
    }
    return map;
}

std::vector<std::uint32_t> walk(const std::vector<Segment>& segments, std::size_t glyphCount)
{
    std::vector<std::uint8_t> bytes = cmapWith(segments);
    tabulon::pdf::TrueTypeFile file(bytes);
    std::vector<GlyphRecord> glyphs(glyphCount);
    EXPECT_TRUE(tabulon::pdf::readCmap(file, 0, 3, 1, 4, glyphs));
    return glyphOfCode(glyphs);
}

constexpr std::uint16_t kEnd = 0xFFFF;

TEST(TrueTypeCmapWalk, CodeTakesTheFirstSegmentEndingAtOrAboveIt)
{
    struct Case {
        const char* what;
        std::vector<Segment> segments;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> codeToGlyph;
    };
    const std::vector<Case> cases = {
        {"sorted segments", {{0x20, 0x22, 0xFFE1}, {0x41, 0x42, 0xFFD0}, {kEnd, kEnd, 1}},
         {{0x1F, 0}, {0x20, 1}, {0x22, 3}, {0x23, 0}, {0x41, 0x11}, {0x42, 0x12}, {0x43, 0}}},
        {"overlapping and out of order", {{0x100, 0x1FF, 0}, {0x0, 0x2FF, 3}, {kEnd, kEnd, 1}},
         {{0x50, 0}, {0x100, 0x100}, {0x1FF, 0x1FF}, {0x200, 0x203}, {0x2FF, 0x302}, {0x300, 0}}},
        {"a segment ending before it starts", {{0x50, 0x40, 0}, {0x30, 0x60, 1}, {kEnd, kEnd, 1}},
         {{0x35, 0}, {0x40, 0}, {0x41, 0x42}, {0x60, 0x61}}},
        {"glyph past the glyph count", {{0x10, 0x20, 0x1000}, {kEnd, kEnd, 1}}, {{0x10, 0}, {0x20, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint32_t> map = walk(c.segments, 0x1000);
        for (auto [code, glyph] : c.codeToGlyph) EXPECT_EQ(map[code], glyph) << "code " << code;
    }
}

TEST(TrueTypeCmapWalk, ThousandsOfFullRangeSegmentsListEachCodeOnce)
{
    std::vector<Segment> segments(8000, Segment{0, 0xFFFE, 1});
    segments.push_back({kEnd, kEnd, 1});
    std::vector<std::uint8_t> bytes = cmapWith(segments);
    tabulon::pdf::TrueTypeFile file(bytes);
    std::vector<GlyphRecord> glyphs(65536);
    ASSERT_TRUE(tabulon::pdf::readCmap(file, 0, 3, 1, 4, glyphs));
    std::size_t listed = 0;
    for (std::size_t g = 0; g < glyphs.size(); ++g) {
        listed += glyphs[g].codes.size();
        if (g > 0 && g < 65535) {
            ASSERT_EQ(glyphs[g].codes.size(), 1u) << "glyph " << g;
            EXPECT_EQ(glyphs[g].codes[0], static_cast<std::int32_t>(g - 1));
        }
    }
    EXPECT_EQ(listed, 65535u);
}

}  // namespace
