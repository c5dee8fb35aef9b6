// TrueType fonts in the written file: object order and lines, shared files, the
// fallback to Helvetica, compressed font files, and what real readers make of them.
#include <gtest/gtest.h>
#include <zlib.h>

#include "deflate_compress.h"
#include "font_test_support.h"
#include "pdf_check.h"
#include "pdf_writer.h"

namespace tabulon::pdf {
namespace {

using test::objectText;

constexpr const char* kLiberationMono = "/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf";

// A font with glyphs for "A", "B" and the euro sign, bold italic, units per em 1000.
std::vector<std::uint8_t> smallFont()
{
    test::SyntheticFont font;
    font.advances = {250, 610, 620, 730};
    font.italicAngle = -12;
    font.macSubfamily = "Bold Italic";
    font.windowsSubfamily = "Bold Italic";
    font.cmaps.push_back({3, 1, test::cmapFormat4({{'A', 1}, {'B', 2}, {0x20AC, 3}})});
    return test::buildFont(font);
}

std::string streamBytes(const std::string& objectBody)
{
    std::size_t start = objectBody.find("stream\n");
    std::size_t end = objectBody.rfind("\nendstream");
    if (start == std::string::npos || end == std::string::npos) return "";
    return objectBody.substr(start + 7, end - start - 7);
}

class EmbeddingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        writer.initialize();
        writer.create("P", "pt", "595,842");
        writer.setFontSource(&source);
        writer.addPage("", "");
    }
    std::string closed()
    {
        writer.close();
        return std::string(writer.bytes());
    }
    test::FixedFontSource source{"Courier New", smallFont()};
    PdfWriter writer;
};

TEST_F(EmbeddingTest, OneTrueTypeFontWritesFileWidthsFontAndDescriptorInOrder)
{
    writer.setFont("Courier New", "BI", 10);
    EXPECT_EQ(source.lastFamily, "Courier New");
    EXPECT_EQ(source.lastStyleFlags, 768);
    std::size_t size = smallFont().size();
    std::string pdf = closed();
    ASSERT_EQ(test::checkXref(pdf), "");

    // Page 3 and its contents 4, then font file 5, widths 6, font 7, descriptor 8.
    std::string file = objectText(pdf, 5);
    EXPECT_EQ(file.substr(0, file.find("stream\n")),
              "5 0 obj\n<<\n/Filter /ASCII85Decode\n/Length " + std::to_string(streamBytes(file).size()) +
                  "\n/Length1 " + std::to_string(size) + "\n>>\n");
    std::string widths = "6 0 obj\n[";
    for (int code = 0; code < 256; ++code) {
        int width = code == 'A' ? 610 : code == 'B' ? 620 : code == 128 ? 730 : 250;
        widths += std::to_string(width) + " ";
    }
    EXPECT_EQ(objectText(pdf, 6), widths + "]\nendobj\n");
    EXPECT_EQ(objectText(pdf, 7), "7 0 obj\n<</Type /Font\n/Subtype /TrueType\n/Name /F1\n/BaseFont /Courier#20New\n"
                                  "/Encoding /WinAnsiEncoding\n/FirstChar 0\n/LastChar 255\n/Widths 6 0 R\n"
                                  "/FontDescriptor 8 0 R\n>>\nendobj\n");
    EXPECT_EQ(objectText(pdf, 8), "8 0 obj\n<</Type /FontDescriptor\n/FontName /Courier#20New\n/Ascent 800\n"
                                  "/Descent -200\n/CapHeight 800\n/Flags 4\n/FontBBox [-50 -200 1000 900]\n"
                                  "/ItalicAngle -12.00\n/StemV 120\n/MissingWidth 250\n/FontFile2 5 0 R\n>>\nendobj\n");
    EXPECT_NE(pdf.find("/Font <<\n/F1 7 0 R\n>>"), std::string::npos);
    std::string path = test::writeTempFile("embedded_small.pdf", pdf);
    std::string report;
    EXPECT_TRUE(test::qpdfAccepts(path, &report)) << report;
}

TEST_F(EmbeddingTest, WidthsFollowUnicodeOfWindows1252Codes)
{
    writer.setFont("Courier New", "", 10);
    // Code 128 is the euro sign (glyph 3); code 65 "A" (glyph 1); 150 (en dash) has no glyph.
    EXPECT_NEAR(writer.getStringWidth("\x80", true), 7.30, 1e-9);
    EXPECT_DOUBLE_EQ(writer.getStringWidth("A\x80\x96", false), 610 + 730 + 250);
    writer.setFont("Courier New", "U", 10);
    writer.text(100, 50, "AB");
    std::string page(writer.pageContent(writer.document().pages.size() - 1));
    EXPECT_NE(page.find("BT 100.00 792.00 Td (AB) Tj ET 100.00 791.00 12.30 -0.50 re f\n"), std::string::npos);
}

TEST_F(EmbeddingTest, RecordsOfOneFaceAndStyleShareFileAndMetrics)
{
    writer.setFont("Courier New", "", 10);
    writer.setFont("Courier New", "N", 10);  // another key, the same face and style flags
    writer.setFont("Courier New", "B", 10);  // another style: its own file
    ASSERT_EQ(writer.document().fonts.size(), 3u);
    EXPECT_EQ(writer.document().fontFiles.size(), 2u);
    EXPECT_EQ(writer.document().fonts[1].kind, FontKind::TrueType);
    EXPECT_EQ(writer.document().fonts[1].fontFile, writer.document().fonts[0].fontFile);
    writer.setFont("Courier New", "N", 10);
    EXPECT_NEAR(writer.getStringWidth("\x80", true), 7.30, 1e-9);
    std::string pdf = closed();
    // Files 5 and 6; then widths, font, descriptor for each record: 7-9, 10-12, 13-15.
    EXPECT_NE(objectText(pdf, 9).find("/FontFile2 5 0 R\n"), std::string::npos);
    EXPECT_NE(objectText(pdf, 12).find("/FontFile2 5 0 R\n"), std::string::npos);
    EXPECT_NE(objectText(pdf, 15).find("/FontFile2 6 0 R\n"), std::string::npos);
    EXPECT_EQ(objectText(pdf, 7).substr(2), objectText(pdf, 10).substr(3));
    std::string report;
    EXPECT_TRUE(test::qpdfAccepts(test::writeTempFile("shared.pdf", pdf), &report)) << report;
}

TEST(EmbeddingNames, FaceNamesAreWrittenAsValidPdfNames)
{
    const std::pair<const char*, const char*> rows[] = {
        {"Courier New", "/BaseFont /Courier#20New\n"},
        {"A#B (x)/y", "/BaseFont /A#23B#20#28x#29#2Fy\n"},
        {"Caf\xe9", "/BaseFont /Caf#E9\n"},
    };
    for (const auto& [face, line] : rows) {
        test::FixedFontSource source(face, smallFont());
        PdfWriter writer;
        writer.initialize();
        writer.create("P", "pt", "595,842");
        writer.setFontSource(&source);
        writer.addPage("", "");
        writer.setFont("Some Family", "", 10);
        writer.text(10, 10, "AB");
        writer.close();
        std::string pdf(writer.bytes());
        EXPECT_NE(pdf.find(line), std::string::npos) << face;
        std::string report;
        EXPECT_TRUE(test::qpdfAccepts(test::writeTempFile("names.pdf", pdf), &report)) << report;
    }
}

TEST(EmbeddingFallback, UnusableFilesBecomeHelveticaOfTheSameStyle)
{
    std::vector<std::uint8_t> cff = smallFont();
    std::memcpy(cff.data(), "OTTO", 4);
    std::vector<std::uint8_t> collection = smallFont();
    std::memcpy(collection.data(), "ttcf", 4);
    std::vector<std::uint8_t> damaged = smallFont();
    damaged.resize(60);
    const std::pair<const char*, std::vector<std::uint8_t>> rows[] = {
        {"cff", cff}, {"collection", collection}, {"damaged", damaged}};
    for (const auto& [what, data] : rows) {
        SCOPED_TRACE(what);
        test::FixedFontSource source("Courier New", data);
        PdfWriter writer;
        writer.initialize();
        writer.create("P", "pt", "595,842");
        writer.setFontSource(&source);
        writer.addPage("", "");
        writer.setFont("Courier New", "B", 10);
        EXPECT_NEAR(writer.getStringWidth("AW", true), 16.66, 1e-9);
        writer.text(10, 10, "AW");
        writer.close();
        std::string pdf(writer.bytes());
        EXPECT_TRUE(writer.document().fontFiles.empty());
        EXPECT_EQ(objectText(pdf, 5), "5 0 obj\n<</Type /Font\n/BaseFont /Helvetica-Bold\n/Subtype /Type1\n"
                                      "/Encoding /WinAnsiEncoding\n>>\nendobj\n");
        EXPECT_EQ(pdf.find("FontFile2"), std::string::npos);
        std::string path = test::writeTempFile(std::string("fallback_") + what + ".pdf", pdf);
        std::string report;
        EXPECT_TRUE(test::qpdfAccepts(path, &report)) << report;
        EXPECT_NE(test::pdfText(path).find("AW"), std::string::npos);
    }
}

TEST(EmbeddingCompressed, FontFileStreamHoldsExactlyTheDeflatedBytes)
{
    std::vector<std::uint8_t> original = test::readBinaryFile(kLiberationMono);
    test::FixedFontSource source("Liberation Mono", original);
    PdfWriter writer;
    writer.initialize();
    writer.create("P", "pt", "595,842");
    writer.setCompressProc(deflateCompressProc());
    writer.setFontSource(&source);
    writer.addPage("", "");
    writer.setFont("Courier New", "", 12);
    writer.text(50, 100, "Liberation Mono");
    writer.close();
    std::string pdf(writer.bytes());
    // Page 3, its contents 4 (compressed), then the font file 5.
    std::string file = objectText(pdf, 5);
    std::string stream = streamBytes(file);
    EXPECT_EQ(file.substr(0, file.find("stream\n")),
              "5 0 obj\n<<\n/Filter /FlateDecode\n/Length " + std::to_string(stream.size()) + "\n/Length1 " +
                  std::to_string(original.size()) + "\n>>\n");
    std::vector<std::uint8_t> inflated(original.size() + 16);
    uLongf inflatedSize = static_cast<uLongf>(inflated.size());
    ASSERT_EQ(uncompress(inflated.data(), &inflatedSize, reinterpret_cast<const Bytef*>(stream.data()),
                         static_cast<uLong>(stream.size())),
              Z_OK);
    inflated.resize(inflatedSize);
    EXPECT_EQ(inflated, original);
    std::string path = test::writeTempFile("compressed_font.pdf", pdf);
    std::string report;
    EXPECT_TRUE(test::qpdfAccepts(path, &report)) << report;
    EXPECT_NE(test::pdfText(path).find("Liberation Mono"), std::string::npos);
}

}  // namespace
}  // namespace tabulon::pdf
