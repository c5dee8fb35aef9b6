// The literal-string encoder in its one- and two-byte forms, and the text line
// the writer puts on the page.
#include <gtest/gtest.h>

#include <functional>

#include "pdf_check.h"
#include "pdf_text.h"
#include "pdf_writer.h"

namespace tabulon::pdf {
namespace {

std::string encoded(std::string_view text, bool twoByte)
{
    ByteBuffer buffer;
    EXPECT_TRUE(encodeText("<", ">", text, buffer, twoByte));
    return std::string(buffer.view());
}

TEST(EncodeText, EscapesOnlyTheSyntaxBytes)
{
    EXPECT_EQ(encoded("a(b)c\\", false), "<a\\(b\\)c\\\\>");
    EXPECT_EQ(encoded("\t\b\n\f\r", false), "<\\t\\b\\n\\f\\r>");
    EXPECT_EQ(encoded("\xE9\x80", false), "<\xE9\x80>");
    EXPECT_EQ(encoded(std::string("\0\x07", 2), false), std::string("<\0\x07>", 4));
}

// The escaping of a literal string, the same in the info dictionary's strings
// (encodeText) and in a text on the page (PdfWriter::text): the syntax bytes get
// their backslash escapes, every other byte, high or zero, stays as it is.
TEST(EncodeText, TextOnThePageEscapesAsTheEncoderDoes)
{
    const struct {
        std::string text;
        std::string escaped;
    } cases[] = {
        {"a(b)c\\d", "a\\(b\\)c\\\\d"},
        {"\xE9", "\xE9"},
        {"\x80\xFF", "\x80\xFF"},
        {"\t\b\n\f\r", "\\t\\b\\n\\f\\r"},
        {std::string("\x07\x00", 2), std::string("\x07\x00", 2)},
        {"x)", "x\\)"},
    };
    for (const auto& c : cases) {
        ByteBuffer buffer;
        ASSERT_TRUE(encodeText("(", ")", c.text, buffer, false));
        EXPECT_EQ(buffer.view(), "(" + c.escaped + ")") << c.text;

        PdfWriter writer;
        writer.initialize();
        writer.create("P", "pt", "");
        writer.addPage("", "");
        writer.setFont("Helvetica", "", 12);
        writer.text(10, 20, c.text);
        std::string_view content = writer.pageContent(0);
        content.remove_suffix(1);  // the line's newline
        EXPECT_EQ(content.substr(content.rfind('\n') + 1), "BT 10.00 821.89 Td (" + c.escaped + ") Tj ET") << c.text;
    }
}

TEST(EncodeText, TwoByteFormHasAByteOrderMarkAndAZeroBeforeEachByte)
{
    EXPECT_EQ(encoded("A", true), std::string("<\xFE\xFF\0A>", 6));
    EXPECT_EQ(encoded("(", true), std::string("<\xFE\xFF\0\\(>", 7));
    EXPECT_EQ(encoded("", true), "<\xFE\xFF>");
}

TEST(EncodeText, WorstCaseFitsTheSingleAllocation)
{
    std::string text(1000, '(');
    ByteBuffer buffer;
    ASSERT_TRUE(encodeText("p", "s", text, buffer, true));
    EXPECT_EQ(buffer.length(), 1 + 2 + 3000 + 1u);
    EXPECT_LE(buffer.length(), buffer.capacity());
}

struct TextCase {
    const char* style;
    bool red;
    const char* text;
    const char* expected;
};

// The page's last content line after one text at (10, 20) pt in Helvetica 12.
std::string lastTextLine(const TextCase& c)
{
    PdfWriter writer;
    writer.initialize();
    writer.create("P", "pt", "");
    writer.addPage("", "");
    writer.setFont("Helvetica", c.style, 12);
    if (c.red) writer.setTextColor(255, 0, 0);
    writer.text(10, 20, c.text);
    writer.close();
    std::string pdf(writer.bytes());
    EXPECT_EQ(test::checkXref(pdf), "");
    std::string report;
    EXPECT_TRUE(test::qpdfAccepts(test::writeTempFile("page_text.pdf", pdf), &report)) << report;
    std::string stream = test::objectText(pdf, 4);
    std::size_t start = stream.find("stream\n") + 7;
    std::string content = stream.substr(start, stream.find("\nendstream") - start);
    content.pop_back();  // each content line ends with a newline
    return content.substr(content.rfind('\n') + 1);
}

TEST(PageText, OneLineWithEscapesColourAndUnderline)
{
    const TextCase cases[] = {
        {"", false, "Total", "BT 10.00 821.89 Td (Total) Tj ET"},
        {"", false, "a(b)c\\d\te", "BT 10.00 821.89 Td (a\\(b\\)c\\\\d\\te) Tj ET"},
        {"", false, "((", "BT 10.00 821.89 Td (\\(\\() Tj ET"},
        {"", false, "\xe9t\xe9", "BT 10.00 821.89 Td (\xe9t\xe9) Tj ET"},
        {"", true, "Due", "q 1.000 0.000 0.000 rg BT 10.00 821.89 Td (Due) Tj ET Q"},
        {"U", false, "ab", "BT 10.00 821.89 Td (ab) Tj ET 10.00 820.69 13.34 -0.60 re f"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(lastTextLine(c), c.expected) << c.text;
}

// The first page's content after `draw` ran on it, in points on A4.
std::string pageContent(const std::function<void(PdfWriter&)>& draw)
{
    PdfWriter writer;
    writer.initialize();
    writer.create("P", "pt", "");
    writer.addPage("", "");
    draw(writer);
    writer.close();
    std::string pdf(writer.bytes());
    EXPECT_EQ(test::checkXref(pdf), "");
    std::string report;
    EXPECT_TRUE(test::qpdfAccepts(test::writeTempFile("page_content.pdf", pdf), &report)) << report;
    std::string stream = test::objectText(pdf, 4);
    std::size_t start = stream.find("stream\n") + 7;
    return stream.substr(start, stream.find("\nendstream") - start);
}

TEST(PageText, RepeatedFontAndColourCallsKeepTheirEffects)
{
    // The same font twice writes one Tf, and its underline holds for both texts.
    EXPECT_EQ(pageContent([](PdfWriter& w) {
                  w.setFont("Arial", "U", 12);
                  w.text(10, 20, "a");
                  w.setFont("Arial", "U", 12);
                  w.text(10, 40, "a");
                  w.setFont("Arial", "", 12);
                  w.text(10, 60, "a");
              }),
              "2 J\n0.57 w\nBT /F1 12.00 Tf ET\n"
              "BT 10.00 821.89 Td (a) Tj ET 10.00 820.69 6.67 -0.60 re f\n"
              "BT 10.00 801.89 Td (a) Tj ET 10.00 800.69 6.67 -0.60 re f\n"
              "BT 10.00 781.89 Td (a) Tj ET\n");
    // Each change of size writes a Tf, also the change back to an earlier size.
    EXPECT_EQ(pageContent([](PdfWriter& w) {
                  w.setFont("Helvetica", "B", 10);
                  w.setFont("Helvetica", "B", 12);
                  w.setFont("Helvetica", "B", 10);
              }),
              "2 J\n0.57 w\nBT /F1 10.00 Tf ET\nBT /F1 12.00 Tf ET\nBT /F1 10.00 Tf ET\n");
    // The same colour set as text, draw and fill colour keeps each one's operator.
    EXPECT_EQ(pageContent([](PdfWriter& w) {
                  w.setFont("Helvetica", "", 12);
                  w.setTextColor(0, 0, 255);
                  w.setDrawColor(0, 0, 255);
                  w.setFillColor(0, 0, 255);
                  w.setDrawColor(0, 0, 255);
                  w.setTextColor(128, 0, 0);
                  w.text(10, 20, "b");
              }),
              "2 J\n0.57 w\nBT /F1 12.00 Tf ET\n0.000 0.000 1.000 RG\n0.000 0.000 1.000 rg\n0.000 0.000 1.000 RG\n"
              "q 0.502 0.000 0.000 rg BT 10.00 821.89 Td (b) Tj ET Q\n");
}

}  // namespace
}  // namespace tabulon::pdf
