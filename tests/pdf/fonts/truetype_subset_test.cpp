// Font subsets as FreeType reads them: every glyph a text needs is there with the
// whole font's advance, outline and hinted bitmap, composite parts included; the
// file's checksums hold; and the writer names and embeds subsets only when asked.
#include <gtest/gtest.h>
#include <zlib.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <set>
#include <string_view>

#include "core_fonts.h"
#include "deflate_compress.h"
#include "font_test_support.h"
#include "pdf_check.h"
#include "pdf_writer.h"
#include "truetype.h"
#include "truetype_subset.h"

namespace tabulon::pdf {
namespace {

constexpr const char* kFontFolder = "/usr/share/fonts/truetype/";

std::uint32_t wordAt(const std::vector<std::uint8_t>& data, std::size_t at)
{
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < 4; ++i) word = (word << 8) | (at + i < data.size() ? data[at + i] : 0u);
    return word;
}

std::uint32_t sumOfWords(const std::vector<std::uint8_t>& data, std::size_t from, std::size_t length)
{
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < length; i += 4) sum += wordAt(data, from + i);
    return sum;
}

// "" when every table's checksum is right (head's taken with its adjustment as
// zero) and the whole file sums to 0xB1B0AFBA; else the first fault.
std::string checksumFault(std::vector<std::uint8_t> file)
{
    if (sumOfWords(file, 0, file.size()) != 0xB1B0AFBAu) return "file sum";
    std::size_t tables = (wordAt(file, 4) >> 16) & 0xFFFF;
    for (std::size_t i = 0; i < tables; ++i) {
        std::size_t entry = 12 + 16 * i;
        std::string tag(file.begin() + static_cast<long>(entry), file.begin() + static_cast<long>(entry) + 4);
        std::size_t offset = wordAt(file, entry + 8);
        std::size_t length = wordAt(file, entry + 12);
        if (offset + length > file.size()) return tag + " outside the file";
        std::uint32_t sum = sumOfWords(file, offset, length);
        if (tag == "head") sum -= wordAt(file, offset + 8);
        if (sum != wordAt(file, entry + 4)) return tag + " checksum";
    }
    return "";
}

struct FaceCloser {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using Face = std::unique_ptr<FT_FaceRec_, FaceCloser>;

class FreeType {
public:
    FreeType() { FT_Init_FreeType(&library_); }
    ~FreeType() { FT_Done_FreeType(library_); }
    Face open(const std::vector<std::uint8_t>& data) const
    {
        FT_Face face = nullptr;
        if (FT_New_Memory_Face(library_, data.data(), static_cast<FT_Long>(data.size()), 0, &face) != 0) return nullptr;
        return Face(face);
    }

private:
    FT_Library library_ = nullptr;
};

// The glyphs `glyphs` and all their composite parts, found by FreeType.
std::set<FT_UInt> withParts(FT_Face face, std::vector<FT_UInt> glyphs)
{
    std::set<FT_UInt> all;
    while (!glyphs.empty()) {
        FT_UInt g = glyphs.back();
        glyphs.pop_back();
        if (!all.insert(g).second) continue;
        if (FT_Load_Glyph(face, g, FT_LOAD_NO_SCALE | FT_LOAD_NO_RECURSE) != 0) continue;
        for (FT_UInt i = 0; i < face->glyph->num_subglyphs; ++i) {
            FT_Int index = 0, flags = 0, arg1 = 0, arg2 = 0;
            FT_Matrix transform;
            FT_Get_SubGlyph_Info(face->glyph, i, &index, reinterpret_cast<FT_UInt*>(&flags), &arg1, &arg2, &transform);
            glyphs.push_back(static_cast<FT_UInt>(index));
        }
    }
    return all;
}

// Advance, outline points and contour ends in font units, then the hinted
// 20-pixel bitmap: what a reader draws for the glyph.
std::vector<long> glyphPicture(FT_Face face, FT_UInt glyph)
{
    std::vector<long> picture;
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE) != 0) return {-1};
    const FT_Outline& outline = face->glyph->outline;
    picture.push_back(face->glyph->metrics.horiAdvance);
    for (int i = 0; i < outline.n_points; ++i) {
        picture.push_back(outline.points[i].x);
        picture.push_back(outline.points[i].y);
    }
    for (int i = 0; i < outline.n_contours; ++i) picture.push_back(outline.contours[i]);
    FT_Set_Pixel_Sizes(face, 0, 20);
    if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER) != 0) return {-2};
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    picture.push_back(face->glyph->bitmap_left);
    picture.push_back(face->glyph->bitmap_top);
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        for (unsigned x = 0; x < bitmap.width; ++x) picture.push_back(bitmap.buffer[row * bitmap.pitch + x]);
    }
    return picture;
}

TEST(TrueTypeSubset, FreeTypeFindsEveryGlyphOfTheTextAsInTheWholeFont)
{
    std::u32string windows1252;
    for (int c = 32; c < 256; ++c) windows1252 += windows1252ToUnicode(static_cast<unsigned char>(c));
    const struct Row {
        const char* file;
        std::u32string text;
    } rows[] = {
        // Short loca; accented letters are composites of a letter and an accent.
        {"liberation/LiberationSans-Regular.ttf", windows1252},
        // Long loca in the whole font; a subset small enough for the short form.
        {"liberation/LiberationSans-Italic.ttf", U"\u00c5ngstr\u00f6m caf\u00e9"},
        // Over 6,000 glyphs, composites whose parts are composites.
        {"dejavu/DejaVuSans.ttf", U"\u017b\u00f3\u0142\u0107 \u01fa \u1e08 \u0390 ok"},
        // Every glyph in one advance: hmtx after the last full metric.
        {"dejavu/DejaVuSansMono.ttf", U"0123 \u00e6\u00f8\u00e5"},
    };
    FreeType freeType;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        std::vector<std::uint8_t> whole = test::readBinaryFile(std::string(kFontFolder) + row.file);
        ASSERT_FALSE(whole.empty());
        TrueTypeFont font;
        ASSERT_TRUE(parseTrueType(whole, font));
        std::vector<std::uint16_t> glyphs;
        for (char32_t c : row.text) glyphs.push_back(font.cidToGidMap[c]);
        std::optional<TrueTypeSubset> subset = subsetTrueType(whole, glyphs, font.cidToGidMap);
        ASSERT_TRUE(subset.has_value());
        EXPECT_EQ(checksumFault(subset->data), "");

        Face wholeFace = freeType.open(whole);
        Face subsetFace = freeType.open(subset->data);
        ASSERT_TRUE(wholeFace && subsetFace);
        std::vector<FT_UInt> drawn = {0};
        for (char32_t c : row.text) drawn.push_back(FT_Get_Char_Index(wholeFace.get(), c));
        EXPECT_EQ(subsetFace->num_glyphs, static_cast<FT_Long>(withParts(wholeFace.get(), drawn).size()));
        for (char32_t c : row.text) {
            if (FT_Get_Char_Index(wholeFace.get(), c) == 0) continue;  // not in the font at all
            FT_UInt inSubset = FT_Get_Char_Index(subsetFace.get(), c);
            ASSERT_NE(inSubset, 0u) << "U+" << std::hex << static_cast<std::uint32_t>(c);
            ASSERT_EQ(glyphPicture(subsetFace.get(), inSubset),
                      glyphPicture(wholeFace.get(), FT_Get_Char_Index(wholeFace.get(), c)))
                << "U+" << std::hex << static_cast<std::uint32_t>(c);
        }
        EXPECT_EQ(glyphPicture(subsetFace.get(), 0), glyphPicture(wholeFace.get(), 0));

        // The tag comes from the glyphs: the same glyphs give the same file, others another tag.
        EXPECT_EQ(subset->tag.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos);
        EXPECT_EQ(subset->tag.size(), 6u);
        std::optional<TrueTypeSubset> again = subsetTrueType(whole, glyphs, font.cidToGidMap);
        EXPECT_TRUE(again && again->data == subset->data && again->tag == subset->tag);
        glyphs.pop_back();
        std::optional<TrueTypeSubset> fewer = subsetTrueType(whole, glyphs, font.cidToGidMap);
        EXPECT_TRUE(fewer && fewer->tag != subset->tag);
    }
}

// The font file stream of a written document, inflated.
std::vector<std::uint8_t> embeddedFile(const std::string& pdf, int object)
{
    std::string body = test::objectText(pdf, object);
    std::size_t start = body.find("stream\n") + 7;
    std::string stream = body.substr(start, body.rfind("\nendstream") - start);
    std::vector<std::uint8_t> inflated(1 << 20);
    uLongf size = static_cast<uLongf>(inflated.size());
    if (uncompress(inflated.data(), &size, reinterpret_cast<const Bytef*>(stream.data()),
                   static_cast<uLong>(stream.size())) != Z_OK) {
        return {};
    }
    inflated.resize(size);
    return inflated;
}

TEST(TrueTypeSubset, WriterNamesAndEmbedsSubsetsOnlyWhenAsked)
{
    test::SyntheticFont noOutlines;
    noOutlines.cmaps.push_back({3, 1, test::cmapFormat4({{'A', 1}, {'B', 2}})});
    const struct Row {
        const char* what;
        std::vector<std::uint8_t> font;
        bool subset;
        bool cut;  // the file is embedded as a subset
    } rows[] = {
        {"whole by default", test::readBinaryFile(std::string(kFontFolder) + "liberation/LiberationMono-Regular.ttf"),
         false, false},
        {"subset", test::readBinaryFile(std::string(kFontFolder) + "liberation/LiberationMono-Regular.ttf"), true,
         true},
        {"no glyph outlines to cut", test::buildFont(noOutlines), true, false},
    };
    std::string wholeWidths;
    FreeType freeType;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        test::FixedFontSource source("Liberation Mono", row.font);
        PdfWriter writer;
        writer.initialize();
        writer.create("P", "pt", "595,842");
        writer.setCompressProc(deflateCompressProc());
        writer.setFontSubsetting(row.subset);
        writer.setFontSource(&source);
        writer.aliasTotalPages("{nb}");
        writer.addPage("", "");
        writer.setFont("Courier New", "", 12);
        writer.text(50, 100, "AB page 1 of {nb}");
        writer.setFont("Courier New", "N", 12);  // a second record of the same file
        writer.text(50, 120, "\xe9");
        writer.close();
        std::string pdf(writer.bytes());

        // Page 3, its contents 4, the font file 5, then widths, font and descriptor per record.
        std::vector<std::uint8_t> file = embeddedFile(pdf, 5);
        std::string font = test::objectText(pdf, 7);
        std::string baseFont = font.substr(font.find("/BaseFont /") + 11);
        baseFont = baseFont.substr(0, baseFont.find('\n'));
        EXPECT_NE(test::objectText(pdf, 8).find("/FontName /" + baseFont + "\n"), std::string::npos);
        EXPECT_NE(test::objectText(pdf, 11).find("/FontName /" + baseFont + "\n"), std::string::npos);
        if (!row.cut) {
            EXPECT_EQ(baseFont, "Liberation#20Mono");
            EXPECT_EQ(file, row.font);
            if (!row.subset) wholeWidths = test::objectText(pdf, 6);
            continue;
        }
        EXPECT_EQ(baseFont.find("+Liberation#20Mono"), 6u);
        EXPECT_LT(file.size(), row.font.size() / 5);
        // The widths are the whole font's, code for code.
        EXPECT_EQ(test::objectText(pdf, 6), wholeWidths);
        Face face = freeType.open(file);
        ASSERT_TRUE(face);
        // The glyphs drawn by both records, and every digit the page count may become.
        for (char32_t c : std::u32string_view(U"ABpagof{nb}0123456789\u00e9")) EXPECT_NE(FT_Get_Char_Index(face.get(), c), 0u) << static_cast<std::uint32_t>(c);
        EXPECT_EQ(FT_Get_Char_Index(face.get(), 'Z'), 0u);
        std::string path = test::writeTempFile("subset_writer.pdf", pdf);
        std::string report;
        EXPECT_TRUE(test::qpdfAccepts(path, &report)) << report;
        EXPECT_NE(test::pdfText(path).find("AB page 1 of 1"), std::string::npos);
    }
}

}  // namespace
}  // namespace tabulon::pdf
