// The fontconfig font source, and a document with system fonts checked by qpdf and
// poppler: fonts listed, text extracted, ink where the text is.
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "fontconfig_font_source.h"
#include "pdf_check.h"
#include "pdf_writer.h"

namespace tabulon::pdf {
namespace {

// Releases fontconfig's configuration after the last test, so that the leak checker
// of the sanitizer build sees only what the tests themselves leave behind.
class FontconfigEnvironment : public ::testing::Environment {
public:
    void TearDown() override { FcFini(); }
};
const ::testing::Environment* const kFontconfigEnvironment =
    ::testing::AddGlobalTestEnvironment(new FontconfigEnvironment);

TEST(FontconfigFontSource, CourierNewAndArialFindMetricCompatibleTrueTypeFaces)
{
    platform::FontconfigFontSource source;
    struct Row {
        const char* family;
        std::int32_t flags;
        const char* face;
    };
    const Row rows[] = {
        {"Courier New", 0, "Liberation Mono"},
        {"Courier New", 256, "Liberation Mono"},
        {"Courier New", 768 + 4, "Liberation Mono"},
        {"Arial", 512, "Liberation Sans"},
    };
    std::vector<std::size_t> sizes;
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.family) + " " + std::to_string(row.flags));
        std::optional<SystemFont> font = source.findFont(row.family, row.flags);
        ASSERT_TRUE(font.has_value());
        EXPECT_EQ(font->faceName, row.face);
        ASSERT_GT(font->fileData.size(), 12u);
        EXPECT_EQ(font->fileData[0], 0);
        EXPECT_EQ(font->fileData[1], 1);
        sizes.push_back(font->fileData.size());
    }
    EXPECT_NE(sizes[0], sizes[1]);  // the bold face is its own file
}

// The 8-bit grey image of page 1 at 72 dpi: one byte per point.
struct GreyImage {
    int width = 0, height = 0;
    std::string pixels;
    int darkIn(int x0, int y0, int x1, int y1) const
    {
        int dark = 0;
        for (int y = y0; y < y1 && y < height; ++y) {
            for (int x = x0; x < x1 && x < width; ++x) {
                dark += static_cast<unsigned char>(pixels[static_cast<std::size_t>(y * width + x)]) < 128;
            }
        }
        return dark;
    }
};

GreyImage renderPage(const std::string& pdfPath)
{
    std::string stem = pdfPath + "-page";
    test::runCommand("pdftoppm -gray -r 72 -f 1 -l 1 -singlefile '" + pdfPath + "' '" + stem + "'");
    std::ifstream file(stem + ".pgm", std::ios::binary);
    GreyImage image;
    std::string magic;
    int maxValue = 0;
    file >> magic >> image.width >> image.height >> maxValue;
    file.get();
    if (magic != "P5" || image.width <= 0 || image.height <= 0) return {};
    image.pixels.resize(static_cast<std::size_t>(image.width * image.height));
    file.read(image.pixels.data(), static_cast<std::streamsize>(image.pixels.size()));
    return image;
}

TEST(SystemFontsDocument, ReadersShowEmbeddedAndStandardFontText)
{
    platform::FontconfigFontSource source;
    PdfWriter writer;
    writer.initialize();
    writer.create("P", "pt", "595,842");
    writer.setFontSource(&source);
    writer.addPage("", "");
    // Windows-1252 text: e acute, en dash, euro sign, curly quotes.
    writer.setFont("Arial", "", 20);
    writer.text(50, 100, "Arial caf\xe9 \x96 \x80 12");
    writer.setFont("Courier New", "", 20);
    writer.text(50, 300, "Courier \x93quoted\x94 \x80 5");
    writer.setFont("Courier New", "N", 20);
    writer.text(50, 500, "Normal style \xe9t\xe9");
    // "N" is no standard style: Arial's Helvetica with it is looked up as a system font.
    writer.setFont("Arial", "N", 20);
    writer.text(50, 400, "Sans N \x80");
    writer.setFont("Courier New", "BU", 20);
    writer.text(50, 700, "Bold underlined");
    writer.close();
    std::string pdf(writer.bytes());
    ASSERT_EQ(test::checkXref(pdf), "");
    EXPECT_NE(pdf.find("/BaseFont /Helvetica\n"), std::string::npos);
    EXPECT_NE(pdf.find("/BaseFont /Liberation#20Mono\n"), std::string::npos);
    EXPECT_EQ(pdf.find("/BaseFont /\n"), std::string::npos);

    std::string path = test::writeTempFile("system_fonts.pdf", pdf);
    std::string report;
    EXPECT_TRUE(test::qpdfAccepts(path, &report)) << report;

    test::CommandResult fonts = test::runCommand("pdffonts '" + path + "'");
    ASSERT_EQ(fonts.status, 0);
    std::istringstream lines(fonts.output);
    int embeddedTrueType = 0;
    bool helvetica = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.find(" TrueType ") != std::string::npos) {
            EXPECT_NE(line.find(" yes "), std::string::npos) << line;  // emb
            ++embeddedTrueType;
        }
        if (line.rfind("Helvetica", 0) == 0) helvetica = true;
    }
    // Liberation Mono regular (two records share its file), the sans face, Liberation Mono bold.
    EXPECT_EQ(embeddedTrueType, 4) << fonts.output;
    EXPECT_TRUE(helvetica) << fonts.output;

    std::string text = test::pdfText(path);
    for (const char* expected : {"Arial caf\xc3\xa9 \xe2\x80\x93 \xe2\x82\xac 12",
                                 "Courier \xe2\x80\x9cquoted\xe2\x80\x9d \xe2\x82\xac 5",
                                 "Normal style \xc3\xa9t\xc3\xa9", "Sans N \xe2\x82\xac", "Bold underlined"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\nin:\n" << text;
    }

    GreyImage page = renderPage(path);
    ASSERT_EQ(page.width, 595);
    for (int baseline : {100, 300, 400, 500, 700}) {
        EXPECT_GT(page.darkIn(50, baseline - 16, 250, baseline + 2), 100) << "no ink at baseline " << baseline;
        EXPECT_EQ(page.darkIn(50, baseline + 30, 250, baseline + 80), 0) << "ink below baseline " << baseline;
    }
}

}  // namespace
}  // namespace tabulon::pdf
