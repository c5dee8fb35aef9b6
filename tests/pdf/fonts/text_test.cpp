// Text output: the content line of text(), its underline and the string encoder.
#include <gtest/gtest.h>

#include "pdf_check.h"
#include "pdf_text.h"
#include "pdf_writer.h"

namespace tabulon::pdf {
namespace {

class TextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        writer.initialize();
        writer.create("P", "pt", "595,842");
        writer.addPage("", "");
        writer.setFont("Helvetica", "", 10);
        mark = content().size();
    }
    std::string content() const { return std::string(writer.pageContent(writer.document().pages.size() - 1)); }
    // What was written since the font was set.
    std::string written() const { return content().substr(mark); }
    PdfWriter writer;
    std::size_t mark = 0;
};

TEST_F(TextTest, LinesForPlainEscapedAndHighBytes)
{
    struct Row {
        std::string text;
        std::string line;
    };
    const Row rows[] = {
        {"Total", "BT 100.00 792.00 Td (Total) Tj ET\n"},
        {"a(b)c\\d", "BT 100.00 792.00 Td (a\\(b\\)c\\\\d) Tj ET\n"},
        {"\t\b\f\r\n", "BT 100.00 792.00 Td (\\t\\b\\f\\r\\n) Tj ET\n"},
        {"caf\xe9 \x80", "BT 100.00 792.00 Td (caf\xe9 \x80) Tj ET\n"},
        {std::string("a\0b\x07", 4), std::string("BT 100.00 792.00 Td (a\0b\x07) Tj ET\n", 33)},
    };
    for (const Row& row : rows) {
        std::size_t before = content().size();
        writer.text(100, 50, row.text);
        EXPECT_EQ(content().substr(before), row.line);
    }
}

TEST_F(TextTest, EmptyTextWritesNothingEvenWithColour)
{
    writer.setTextColor(255, 0, 0);
    writer.text(100, 50, "");
    EXPECT_EQ(written(), "");
}

TEST_F(TextTest, UnderlineSuffixFollowsTextWidth)
{
    writer.setFont("Helvetica", "U", 10);
    writer.text(100, 50, "AW");
    EXPECT_EQ(written(), "BT 100.00 792.00 Td (AW) Tj ET 100.00 791.00 16.11 -0.50 re f\n");
    EXPECT_EQ(writer.underlineRect(100, 50, "AW"), "100.00 791.00 16.11 -0.50 re f");
}

TEST_F(TextTest, BoldUnderlineIsTwiceAsThick)
{
    writer.setFont("Helvetica", "BU", 10);
    EXPECT_EQ(writer.underlineRect(100, 50, "AW"), "100.00 791.00 16.66 -1.00 re f");
}

TEST_F(TextTest, DifferingTextColourWrapsLineInSaveRestore)
{
    writer.setTextColor(255, 0, 0);
    writer.setFont("Helvetica", "U", 10);
    std::size_t before = content().size();
    writer.text(100, 50, "AW");
    EXPECT_EQ(content().substr(before),
              "q 1.000 0.000 0.000 rg BT 100.00 792.00 Td (AW) Tj ET 100.00 791.00 16.11 -0.50 re f Q\n");
}

TEST_F(TextTest, MillimetreDocumentPlacesBaseline)
{
    PdfWriter doc;
    doc.initialize();
    doc.create("P", "mm", "595.28,841.89");
    doc.addPage("", "");
    doc.setFont("Arial", "", 12);
    doc.text(10, 10, "Total");
    std::string page(doc.pageContent(doc.document().pages.size() - 1));
    EXPECT_NE(page.find("\nBT 28.35 813.54 Td (Total) Tj ET\n"), std::string::npos);
    doc.close();
    std::string path = test::writeTempFile("text_mm.pdf", doc.bytes());
    std::string report;
    EXPECT_TRUE(test::qpdfAccepts(path, &report)) << report;
    EXPECT_NE(test::pdfText(path).find("Total"), std::string::npos);
}

TEST(EncodeText, OneAndTwoByteForms)
{
    ByteBuffer buffer;
    ASSERT_TRUE(encodeText("/Title (", ")", "A", buffer, true));
    EXPECT_EQ(buffer.view(), std::string_view("/Title (\xfe\xff\0A)", 13));
    ASSERT_TRUE(encodeText("(", ")", "(\xe9", buffer, true));
    EXPECT_EQ(buffer.view(), std::string_view("(\xfe\xff\0\\(\0\xe9)", 9));
    ASSERT_TRUE(encodeText("", "", "x)", buffer, false));
    EXPECT_EQ(buffer.view(), "x\\)");
    ASSERT_TRUE(encodeText("", "", "", buffer, false));
    EXPECT_EQ(buffer.view(), "");
    // Worst case: every character escaped, in two-byte form.
    std::string parens(1000, '(');
    ASSERT_TRUE(encodeText("p", "s", parens, buffer, true));
    EXPECT_EQ(buffer.length(), 1 + 2 + 3 * parens.size() + 1);
}

}  // namespace
}  // namespace tabulon::pdf
