// The TrueType parser on small fonts built here, on damaged copies of real files,
// and against FreeType on every TrueType file the project's font packages install.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <iostream>
#include <sstream>

#include "font_test_support.h"
#include "pdf_check.h"
#include "truetype.h"

namespace tabulon::pdf {
namespace {

using test::buildFont;
using test::cmapFormat0;
using test::cmapFormat4;
using test::SyntheticFont;

constexpr const char* kLiberationMono = "/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf";

SyntheticFont basicFont()
{
    SyntheticFont font;
    font.cmaps.push_back({3, 1, cmapFormat4({{'A', 1}, {'B', 2}, {0x20AC, 3}})});
    return font;
}

TEST(TrueTypeParser, ReadsMetricsAndMap)
{
    SyntheticFont font = basicFont();
    font.unitsPerEm = 2048;
    font.advances = {1229, 1000, 3, 2047};
    font.bbox[0] = -1;  // -0.49 rounds away from zero to 0; -1.5 would give -1
    font.bbox[2] = 2049;
    font.ascent = 1638;
    font.descent = -410;
    std::vector<std::uint8_t> data = buildFont(font);
    TrueTypeFont record;
    ASSERT_TRUE(parseTrueType(data, record));
    EXPECT_EQ(record.glyphCount, 4u);
    EXPECT_EQ(record.unitsPerEm, 2048u);
    EXPECT_EQ(record.glyphs[0].width, 600);  // 600.1
    EXPECT_EQ(record.glyphs[1].width, 488);  // 488.28
    EXPECT_EQ(record.glyphs[2].width, 1);    // 1.46
    EXPECT_EQ(record.glyphs[3].width, 1000); // 999.5 rounds up
    EXPECT_EQ(record.bbox[0], 0);
    EXPECT_EQ(record.bbox[2], 1000);  // 1000.49
    EXPECT_EQ(record.ascent, 800);
    EXPECT_EQ(record.descent, -200);
    EXPECT_EQ(record.capHeight, 800);
    EXPECT_EQ(record.cidToGidMap.size(), 65536u);
    EXPECT_EQ(record.cidToGidMap['A'], 1);
    EXPECT_EQ(record.cidToGidMap['B'], 2);
    EXPECT_EQ(record.cidToGidMap[0x20AC], 3);
    EXPECT_EQ(record.cidToGidMap['C'], 0);
    EXPECT_EQ(record.glyphs[3].codes, std::vector<std::int32_t>{0x20AC});
}

TEST(TrueTypeParser, ScalingRoundsHalfAwayFromZero)
{
    EXPECT_EQ(scaleToThousandths(1, 0.5), 1);
    EXPECT_EQ(scaleToThousandths(-1, 0.5), -1);
    EXPECT_EQ(scaleToThousandths(-3, 0.1), 0);
    EXPECT_EQ(scaleToThousandths(0, 0.5), 0);
    EXPECT_EQ(scaleToThousandths(-205, 1000.0 / 2048), -100);
}

TEST(TrueTypeParser, GlyphsPastHorizontalMetricsTakeTheLastWidth)
{
    SyntheticFont font = basicFont();
    font.glyphCount = 6;
    font.advances = {0, 400};
    TrueTypeFont record;
    ASSERT_TRUE(parseTrueType(buildFont(font), record));
    EXPECT_EQ(record.hMetricCount, 2u);
    for (std::size_t g = 1; g < 6; ++g) EXPECT_EQ(record.glyphs[g].width, 400) << g;
    EXPECT_EQ(record.glyphs[0].width, 0);
}

TEST(TrueTypeParser, ItalicAngleSubfamilyAndStemWidth)
{
    struct Row {
        std::int16_t angle;
        std::uint16_t fraction;
        const char* mac;
        const char* windows;
        int italic;
        const char* subfamily;
        int stemV;
    };
    const Row rows[] = {
        {-12, 0, "Bold Italic", "Bold Italic", -12, "Bold Italic", 120},
        {-13, 0x8000, "Regular", "Regular", -13, "Regular", 70},  // -12.5 as 16.16: integer part -13
        {0, 0, "", "BLACK", 0, "BLACK", 120},
        {0, 0, "", "", 0, "", 70},
    };
    for (const Row& row : rows) {
        SyntheticFont font = basicFont();
        font.italicAngle = row.angle;
        font.italicFraction = row.fraction;
        font.macSubfamily = row.mac;
        font.windowsSubfamily = row.windows;
        TrueTypeFont record;
        ASSERT_TRUE(parseTrueType(buildFont(font), record));
        EXPECT_EQ(record.italicAngle, row.italic);
        EXPECT_EQ(record.subfamily, row.subfamily);
        EXPECT_EQ(record.stemV, row.stemV);
    }
    SyntheticFont noPost = basicFont();
    noPost.withPost = false;
    noPost.italicAngle = -12;
    TrueTypeFont record;
    ASSERT_TRUE(parseTrueType(buildFont(noPost), record));
    EXPECT_EQ(record.italicAngle, 0);
}

TEST(TrueTypeParser, CmapSelectionAndFormats)
{
    // Only a (3,0) symbol subtable: nothing is mapped, every code measures glyph 0.
    SyntheticFont symbol = basicFont();
    symbol.cmaps = {{3, 0, cmapFormat4({{0xF041, 1}})}};
    TrueTypeFont record;
    ASSERT_TRUE(parseTrueType(buildFont(symbol), record));
    for (std::uint16_t glyph : record.cidToGidMap) ASSERT_EQ(glyph, 0);

    // The first encoding-1 format-4 subtable wins; the format 0 one before it is skipped.
    SyntheticFont both = basicFont();
    both.cmaps = {{1, 0, cmapFormat0({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3})},
                  {3, 1, cmapFormat4({{'B', 2}}, {{'a', 1}, {'c', 3}})}};
    std::vector<std::uint8_t> data = buildFont(both);
    TrueTypeFont mapped;
    ASSERT_TRUE(parseTrueType(data, mapped));
    EXPECT_EQ(mapped.cidToGidMap['A'], 0);
    EXPECT_EQ(mapped.cidToGidMap['B'], 2);
    EXPECT_EQ(mapped.cidToGidMap['a'], 1);  // read through idRangeOffset
    EXPECT_EQ(mapped.cidToGidMap['b'], 0);
    EXPECT_EQ(mapped.cidToGidMap['c'], 3);

    // Format 0 is read when a caller asks for it.
    TrueTypeFile file(data);
    std::vector<GlyphRecord> glyphs(4);
    ASSERT_TRUE(readCmap(file, *file.findTable("cmap"), -1, -1, 0, glyphs));
    EXPECT_EQ(glyphs[3].codes, std::vector<std::int32_t>{'A'});
    std::vector<GlyphRecord> none(4);
    EXPECT_FALSE(readCmap(file, *file.findTable("cmap"), 3, 10, -1, none));
}

std::vector<std::uint8_t> withTagRenamed(std::vector<std::uint8_t> data, const char* from, const char* to)
{
    for (std::size_t entry = 12; entry + 16 <= data.size(); entry += 16) {
        if (std::memcmp(&data[entry], from, 4) == 0) {
            std::memcpy(&data[entry], to, 4);
            break;
        }
    }
    return data;
}

TEST(TrueTypeParser, UnusableFilesAreRejectedWithEmptyFields)
{
    std::vector<std::uint8_t> good = buildFont(basicFont());
    std::vector<std::uint8_t> cff = good;
    std::memcpy(cff.data(), "OTTO", 4);
    std::vector<std::uint8_t> collection = good;
    std::memcpy(collection.data(), "ttcf", 4);
    SyntheticFont badLoc = basicFont();
    badLoc.indexToLocFormat = 2;
    SyntheticFont noUnits = basicFont();
    noUnits.unitsPerEm = 0;
    SyntheticFont noGlyphs = basicFont();
    noGlyphs.glyphCount = 0;
    std::vector<std::uint8_t> farTable = good;
    farTable[12 + 8] = 0x7F;  // cmap's offset far past the end of the file

    const std::pair<const char*, std::vector<std::uint8_t>> rows[] = {
        {"CFF outlines", cff},
        {"collection", collection},
        {"index-to-location format 2", buildFont(badLoc)},
        {"zero units per em", buildFont(noUnits)},
        {"no glyphs", buildFont(noGlyphs)},
        {"hmtx missing", withTagRenamed(good, "hmtx", "hmtX")},
        {"name missing", withTagRenamed(good, "name", "nome")},
        {"table outside the file", farTable},
        {"empty", {}},
        {"directory cut short", std::vector<std::uint8_t>(good.begin(), good.begin() + 40)},
    };
    for (const auto& [what, data] : rows) {
        SCOPED_TRACE(what);
        TrueTypeFont record;
        EXPECT_FALSE(parseTrueType(data, record));
        EXPECT_TRUE(record.glyphs.empty());
        EXPECT_TRUE(record.cidToGidMap.empty());
        EXPECT_EQ(record.unitsPerEm, 0u);
    }
    TrueTypeFont record;
    EXPECT_TRUE(parseTrueType(withTagRenamed(good, "post", "pots"), record));
}

TEST(TrueTypeParser, EveryCutOfARealFileIsReadSafely)
{
    std::vector<std::uint8_t> data = test::readBinaryFile(kLiberationMono);
    ASSERT_GT(data.size(), 1000u);
    TrueTypeFont whole;
    ASSERT_TRUE(parseTrueType(data, whole));
    // Cuts at every length through the directory, then in coarse steps: no read past the
    // end (the sanitizer build checks), and a file cut inside hmtx is refused.
    std::size_t hmtxEnd = *TrueTypeFile(data).findTable("hmtx") + 4 * whole.hMetricCount;
    for (std::size_t length = 0; length < data.size(); length += length < 400 ? 1 : 997) {
        std::vector<std::uint8_t> cut(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(length));
        TrueTypeFont record;
        bool parsed = parseTrueType(cut, record);
        if (length < 400 || length < hmtxEnd) {
            EXPECT_FALSE(parsed) << length;
        }
    }
}

TEST(TrueTypeParser, ShortHorizontalMetricsInLiberationMono)
{
    TrueTypeFont record;
    ASSERT_TRUE(parseTrueType(test::readBinaryFile(kLiberationMono), record));
    EXPECT_EQ(record.hMetricCount, 4u);
    EXPECT_EQ(record.unitsPerEm, 2048u);
    EXPECT_EQ(record.glyphs[1].width, 0);
    EXPECT_EQ(record.glyphs[2].width, 333);  // 682 units
    EXPECT_EQ(record.glyphs[3].width, 600);
    EXPECT_EQ(record.glyphs.back().width, 600);
    EXPECT_EQ(record.glyphs[record.cidToGidMap[0x20AC]].width, 600);
    EXPECT_NE(record.cidToGidMap[0x20AC], 0);
}

// The TrueType files the project's font packages install, as dpkg lists them.
std::vector<std::string> packagedTrueTypeFiles()
{
    test::CommandResult listed = test::runCommand("dpkg -L fonts-liberation fonts-dejavu-core 2>/dev/null");
    std::vector<std::string> files;
    std::istringstream lines(listed.output);
    for (std::string line; std::getline(lines, line);) {
        if (line.size() > 4 && line.compare(line.size() - 4, 4, ".ttf") == 0) files.push_back(line);
    }
    return files;
}

TEST(TrueTypeParser, AgreesWithFreeTypeOnEveryPackagedFont)
{
    std::vector<std::string> files = packagedTrueTypeFiles();
    ASSERT_GE(files.size(), 20u) << "fonts-liberation and fonts-dejavu-core must be installed";
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    std::size_t codePoints = 0, mappedCodePoints = 0, glyphs = 0;
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        std::vector<std::uint8_t> data = test::readBinaryFile(path);
        TrueTypeFont record;
        ASSERT_TRUE(parseTrueType(data, record));
        FT_Face face = nullptr;
        ASSERT_EQ(FT_New_Memory_Face(library, data.data(), static_cast<FT_Long>(data.size()), 0, &face), 0);
        EXPECT_EQ(record.glyphCount, static_cast<std::uint32_t>(face->num_glyphs));
        EXPECT_EQ(record.unitsPerEm, face->units_per_EM);
        for (FT_UInt g = 0; g < record.glyphCount; ++g) {
            FT_Fixed advance = 0;
            ASSERT_EQ(FT_Get_Advance(face, g, FT_LOAD_NO_SCALE, &advance), 0);
            ASSERT_EQ(record.glyphs[g].advanceWidth, advance) << "glyph " << g;
        }
        glyphs += record.glyphCount;
        bool selected = false;
        for (int i = 0; i < face->num_charmaps; ++i) {
            FT_CharMap map = face->charmaps[i];
            if (map->platform_id == 3 && map->encoding_id == 1 && FT_Get_CMap_Format(map) == 4) {
                selected = FT_Set_Charmap(face, map) == 0;
                break;
            }
        }
        ASSERT_TRUE(selected);
        for (FT_ULong c = 0; c < 65535; ++c) {
            FT_UInt expected = FT_Get_Char_Index(face, c);
            ASSERT_EQ(record.cidToGidMap[c], expected) << "code point " << c;
            mappedCodePoints += expected != 0;
        }
        codePoints += 65535;
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    std::cout << "compared with FreeType: " << files.size() << " fonts, " << glyphs << " glyph advances, "
              << codePoints << " BMP code points (" << mappedCodePoints << " mapped)\n";
}

}  // namespace
}  // namespace tabulon::pdf
