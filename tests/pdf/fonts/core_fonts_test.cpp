// The standard fonts: width tables, lookup, setFont, getStringWidth and their objects.
#include <gtest/gtest.h>

#include "core_fonts.h"
#include "font_test_support.h"
#include "pdf_check.h"
#include "pdf_format.h"
#include "pdf_writer.h"

namespace tabulon::pdf {
namespace {

using test::objectText;
using test::splitLines;

struct TellingWidth {
    int code;
    int helvetica, helveticaBold, timesRoman, symbol, zapfDingbats;
};

TEST(CoreWidthTables, TellingValuesMatchPublishedMetrics)
{
    const TellingWidth rows[] = {
        {32, 278, 278, 250, 250, 278},   {48, 556, 556, 500, 500, 911},   {65, 667, 722, 722, 722, 692},
        {87, 944, 944, 944, 768, 776},   {97, 556, 556, 444, 631, 789},   {105, 222, 278, 278, 329, 713},
        {109, 833, 889, 778, 576, 873},  {128, 556, 556, 500, 0, 390},    {151, 1000, 1000, 1000, 0, 0},
        {160, 278, 278, 250, 750, 0},
    };
    for (const TellingWidth& row : rows) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(kHelveticaWidths[row.code], row.helvetica);
        EXPECT_EQ(kHelveticaBoldWidths[row.code], row.helveticaBold);
        EXPECT_EQ(kTimesRomanWidths[row.code], row.timesRoman);
        EXPECT_EQ(kSymbolWidths[row.code], row.symbol);
        EXPECT_EQ(kZapfDingbatsWidths[row.code], row.zapfDingbats);
    }
}

TEST(CoreWidthTables, HelveticaObliqueDiffersOnlyInXAndY)
{
    for (int code = 0; code < 256; ++code) {
        if (code == 'X' || code == 'Y') {
            EXPECT_EQ(kHelveticaObliqueWidths[code], 677);
            EXPECT_EQ(kHelveticaWidths[code], 667);
        } else {
            EXPECT_EQ(kHelveticaObliqueWidths[code], kHelveticaWidths[code]) << code;
        }
    }
    EXPECT_EQ(kHelveticaBoldObliqueWidths, kHelveticaBoldWidths);
}

TEST(CoreWidthTables, TimesStylesHaveTheirOwnWidths)
{
    EXPECT_EQ(kTimesItalicWidths['A'], 611);
    EXPECT_EQ(kTimesBoldItalicWidths['A'], 667);
    EXPECT_EQ(kTimesBoldWidths['A'], 722);
    EXPECT_NE(kTimesBoldWidths, kTimesRomanWidths);
}

TEST(CoreWidthTables, ControlCodesAndUndefinedCodesCarryFillers)
{
    // Control codes: the family's filler. Codes Windows-1252 leaves undefined: the bullet.
    EXPECT_EQ(kHelveticaWidths[0], 278);
    EXPECT_EQ(kTimesRomanWidths[31], 250);
    EXPECT_EQ(kSymbolWidths[9], 250);
    EXPECT_EQ(kZapfDingbatsWidths[9], 0);
    for (int code : {127, 129, 141, 143, 144, 157}) {
        EXPECT_EQ(kHelveticaWidths[code], kHelveticaWidths[149]) << code;
        EXPECT_EQ(kTimesRomanWidths[code], 350) << code;
    }
    EXPECT_EQ(kHelveticaWidths[149], 350);  // bullet
    EXPECT_EQ(kHelveticaWidths[150], 556);  // en dash
    EXPECT_EQ(kHelveticaWidths[173], 333);  // soft hyphen shows the hyphen
}

TEST(CoreFontTable, LookupIsExactAndCourierIsFixedPitch)
{
    const std::pair<const char*, const char*> rows[] = {
        {"COURIER", "Courier"},          {"COURIERBI", "Courier-BoldOblique"}, {"HELVETICAI", "Helvetica-Oblique"},
        {"TIMES", "Times-Roman"},        {"TIMESBI", "Times-BoldItalic"},      {"SYMBOL", "Symbol"},
        {"ZAPFDINGBATS", "ZapfDingbats"}, {"TIMESB", "Times-Bold"},
    };
    for (const auto& [lookup, name] : rows) {
        const CoreFont* font = findCoreFont(lookup);
        ASSERT_NE(font, nullptr) << lookup;
        EXPECT_EQ(font->baseFontName, name);
    }
    EXPECT_EQ(findCoreFont("TIMESIB"), nullptr);
    EXPECT_EQ(findCoreFont("HELVETICAN"), nullptr);
    EXPECT_EQ(findCoreFont("Helvetica"), nullptr);
    EXPECT_EQ(coreWidth(*findCoreFont("COURIERB"), 'W'), 600);
    EXPECT_EQ(helveticaForStyle("BI").baseFontName, "Helvetica-BoldOblique");
    EXPECT_EQ(helveticaForStyle("N").baseFontName, "Helvetica");
}

TEST(Windows1252, HighControlRangeMapsToUnicode)
{
    EXPECT_EQ(windows1252ToUnicode(128), 0x20AC);
    EXPECT_EQ(windows1252ToUnicode(146), 0x2019);
    EXPECT_EQ(windows1252ToUnicode(150), 0x2013);
    EXPECT_EQ(windows1252ToUnicode(151), 0x2014);
    EXPECT_EQ(windows1252ToUnicode(159), 0x0178);
    EXPECT_EQ(windows1252ToUnicode(129), 129);
    EXPECT_EQ(windows1252ToUnicode(65), 65);
    EXPECT_EQ(windows1252ToUnicode(233), 233);
}

// A document in points on a page 842 high, with one page open.
class SetFontTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        writer.initialize();
        writer.create("P", "pt", "595,842");
        writer.addPage("", "");
    }
    std::string pageContent() const { return std::string(writer.pageContent(writer.document().pages.size() - 1)); }
    const FontRecord& current() const
    {
        return writer.document().fonts.at(static_cast<std::size_t>(writer.document().currentFont));
    }
    PdfWriter writer;
};

TEST_F(SetFontTest, ArialWritesTfLineAndHelveticaObject)
{
    writer.setFont("Arial", "", 12);
    EXPECT_NE(pageContent().find("\nBT /F1 12.00 Tf ET\n"), std::string::npos);
    writer.close();
    std::string pdf(writer.bytes());
    // Page 3, contents 4, the font 5.
    EXPECT_EQ(objectText(pdf, 5), "5 0 obj\n<</Type /Font\n/BaseFont /Helvetica\n/Subtype /Type1\n"
                                  "/Encoding /WinAnsiEncoding\n>>\nendobj\n");
    EXPECT_NE(pdf.find("/Font <<\n/F1 5 0 R\n>>"), std::string::npos);
    EXPECT_EQ(test::checkXref(pdf), "");
    std::string report;
    EXPECT_TRUE(test::qpdfAccepts(test::writeTempFile("arial.pdf", pdf), &report)) << report;
}

TEST_F(SetFontTest, SelectionNormalisesFamilyAndStyle)
{
    struct Row {
        const char* family;
        const char* style;
        int size;
        const char* key;
        const char* baseFont;
        const char* fontStyle;
        bool underline;
        int sizePt;
    };
    const Row rows[] = {
        {"arial", "ib", 10, "_BI+HELVETICA", "Helvetica-BoldOblique", "BI", false, 10},
        {"Times", "BU", 0, "__B+TIMES", "Times-Bold", "B", true, 10},
        {"Symbol", "B", 12, "___+SYMBOL", "Symbol", "", false, 12},
        {"zapfdingbats", "IU", 9, "___+ZAPFDINGBATS", "ZapfDingbats", "", false, 9},
        {" Courier ", " i ", 8, "__I+COURIER", "Courier-Oblique", "I", false, 8},
        {"Helvetica", "BIU", 8, "_BI+HELVETICA", "Helvetica-BoldOblique", "BI", true, 8},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.family);
        writer.setFont(row.family, row.style, row.size);
        EXPECT_EQ(current().fontKey, row.key);
        EXPECT_EQ(current().baseFontName, row.baseFont);
        EXPECT_EQ(writer.document().fontStyle, row.fontStyle);
        EXPECT_EQ(writer.document().underline, row.underline);
        EXPECT_EQ(writer.document().fontSizePt, row.sizePt);
    }
}

TEST_F(SetFontTest, SymbolObjectHasNoEncoding)
{
    writer.setFont("Symbol", "B", 12);
    writer.setFont("ZapfDingbats", "", 12);
    writer.close();
    std::string pdf(writer.bytes());
    EXPECT_EQ(objectText(pdf, 5), "5 0 obj\n<</Type /Font\n/BaseFont /Symbol\n/Subtype /Type1\n>>\nendobj\n");
    EXPECT_EQ(objectText(pdf, 6), "6 0 obj\n<</Type /Font\n/BaseFont /ZapfDingbats\n/Subtype /Type1\n>>\nendobj\n");
    std::string report;
    EXPECT_TRUE(test::qpdfAccepts(test::writeTempFile("symbol.pdf", pdf), &report)) << report;
}

TEST_F(SetFontTest, RepeatingTheFontWritesNothingAndUnderlineOnlyToggles)
{
    writer.setFont("Helvetica", "", 12);
    std::string before = pageContent();
    writer.setFont("HELVETICA", "", 12);
    EXPECT_EQ(pageContent(), before);
    writer.setFont("Helvetica", "U", 12);
    EXPECT_TRUE(writer.document().underline);
    EXPECT_EQ(pageContent(), before);
    writer.setFont("Helvetica", "", 0);
    EXPECT_FALSE(writer.document().underline);
    EXPECT_EQ(pageContent(), before);
}

TEST_F(SetFontTest, SizesShareOneRecordAndWriteOneTfLineEach)
{
    writer.setFont("Times", "I", 10);
    writer.setFont("Times", "I", 14);
    EXPECT_EQ(writer.document().fonts.size(), 1u);
    std::string content = pageContent();
    EXPECT_NE(content.find("BT /F1 10.00 Tf ET\nBT /F1 14.00 Tf ET\n"), std::string::npos);
}

TEST_F(SetFontTest, EmptyFamilyKeepsCurrentFamily)
{
    writer.setFont("Courier", "", 12);
    writer.setFont("", "B", 12);
    EXPECT_EQ(current().baseFontName, "Courier-Bold");
    EXPECT_EQ(writer.document().fontFamily, "Courier");
}

// A text before any family was named gets a font under the empty name; the next
// page must still select it, or its texts are drawn without a font and lost.
TEST_F(SetFontTest, FontUnderTheEmptyNameIsSelectedOnEveryNewPage)
{
    writer.setFont("", "N", 10);
    ASSERT_GE(writer.document().currentFont, 0);
    writer.text(10, 20, "one");
    writer.addPage("", "");
    EXPECT_EQ(pageContent(), "2 J\n0.57 w\nBT /F1 10.00 Tf ET\n");
    writer.setFont("", "N", 10);
    writer.text(10, 20, "two");
    EXPECT_EQ(writer.document().fonts.size(), 1u);
    writer.close();
    std::string path = test::writeTempFile("empty-family.pdf", writer.bytes());
    EXPECT_TRUE(test::qpdfAccepts(path));
    std::string text = test::pdfText(path);
    EXPECT_NE(text.find("one"), std::string::npos);
    EXPECT_NE(text.find("two"), std::string::npos) << text;
}

TEST_F(SetFontTest, FontSelectedBeforeFirstPageWritesNoTfLine)
{
    PdfWriter fresh;
    fresh.initialize();
    fresh.create("P", "mm", "");
    fresh.setFont("Arial", "", 12);
    EXPECT_EQ(fresh.document().page, 0);
    fresh.addPage("", "");
    // addPage selects the remembered font again on the new page.
    std::string content(fresh.pageContent(fresh.document().pages.size() - 1));
    EXPECT_EQ(content, "2 J\n0.57 w\nBT /F1 12.00 Tf ET\n");
}

TEST_F(SetFontTest, StringWidthsInCoreFonts)
{
    writer.setFont("Helvetica", "", 10);
    EXPECT_DOUBLE_EQ(writer.getStringWidth("AW", false), 1611.0);
    EXPECT_NEAR(writer.getStringWidth("AW", true), 16.11, 1e-9);
    EXPECT_EQ(formatNumber(writer.getStringWidth("AW", true), 2), "16.11");
    writer.setFont("Courier", "", 12);
    EXPECT_NEAR(writer.getStringWidth("abc", true), 3 * 7.2, 1e-9);
    EXPECT_NEAR(writer.getStringWidth("\x80\xff", true), 2 * 7.2, 1e-9);
    EXPECT_EQ(writer.getStringWidth("", true), 0.0);
}

TEST_F(SetFontTest, UnsuppliedFamilyBecomesHelveticaOfTheSameStyle)
{
    struct Row {
        const char* style;
        const char* baseFont;
    };
    const Row rows[] = {{"", "Helvetica"}, {"B", "Helvetica-Bold"}, {"BI", "Helvetica-BoldOblique"},
                        {"N", "Helvetica"}};
    test::EmptyFontSource none;
    for (bool withSource : {false, true}) {
        PdfWriter doc;
        doc.initialize();
        doc.create("P", "pt", "595,842");
        doc.addPage("", "");
        if (withSource) doc.setFontSource(&none);
        for (const Row& row : rows) {
            doc.setFont("No Such Family", row.style, 10);
            const FontRecord& font = doc.document().fonts.back();
            EXPECT_EQ(font.baseFontName, row.baseFont);
            EXPECT_EQ(font.kind, FontKind::Core);
        }
        doc.setFont("No Such Family", "B", 10);
        EXPECT_NEAR(doc.getStringWidth("AW", true), (722 + 944) / 100.0, 1e-9);
        doc.close();
        std::string pdf(doc.bytes());
        EXPECT_EQ(pdf.find("/BaseFont /\n"), std::string::npos);
        EXPECT_EQ(pdf.find("FontFile2"), std::string::npos);
        EXPECT_NE(pdf.find("/BaseFont /Helvetica-BoldOblique\n"), std::string::npos);
        std::string path = test::writeTempFile(withSource ? "fallback_source.pdf" : "fallback.pdf", pdf);
        std::string report;
        EXPECT_TRUE(test::qpdfAccepts(path, &report)) << report;
    }
}

}  // namespace
}  // namespace tabulon::pdf
