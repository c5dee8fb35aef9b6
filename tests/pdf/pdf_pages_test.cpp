// Page content, byte for byte: the prologue, drawing operators, colours, the
// graphics-state restore across pages, the total-pages alias and page sizes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "pdf_check.h"
#include "pdf_writer.h"

namespace tabulon::pdf {
namespace {

class Page : public ::testing::Test {
protected:
    void SetUp() override
    {
        writer.initialize();
        writer.create("P", "mm", "595.28,841.89");
        writer.addPage("", "");
        prologue = std::string(content());
    }
    // What was drawn on the open page since the page began.
    std::string drawn() { return std::string(content().substr(prologue.size())); }
    std::string_view content() { return writer.pageContent(writer.document().pages.size() - 1); }

    PdfWriter writer;
    std::string prologue;
};

TEST_F(Page, FirstPageStartsWithLineCapAndWidthOnly)
{
    EXPECT_EQ(prologue, "2 J\n0.57 w\n");
}

TEST_F(Page, LineAndRectangleOperators)
{
    writer.line(10, 28, 100, 28);
    writer.rect(10, 286, 190, 8, "F");
    writer.rect(10, 286, 190, 8, "FD");
    writer.rect(0, 0, 1, 1, "DF");
    EXPECT_EQ(drawn(),
              "28.35 762.52 m 283.46 762.52 l S\n"
              "28.35 31.18 538.58 -22.68 re\nf\n"
              "28.35 31.18 538.58 -22.68 re\nS\n"
              "0.00 841.89 2.83 -2.83 re\nB\n");
}

TEST_F(Page, SinglePrecisionPageHeightReachesThePrintedNumbers)
{
    // (297.00009 - 14) x k lies above 802.205, so it prints as 802.21.
    writer.moveTo(0, 14);
    EXPECT_EQ(drawn(), "0.00 802.21 m\n");
}

TEST_F(Page, ColourForms)
{
    writer.setFillColor(255, 0, 0);
    writer.setFillColor(0, 0, 0);
    writer.setDrawColor(128, -1, 0);
    writer.setDrawColor(0, 0, 255);
    writer.setTextColor(255, 255, 0);
    writer.setDrawColorCmyk(10, 20, 30, 40);
    writer.setFillColorCmyk(0, 0, 0, 100);
    EXPECT_EQ(drawn(), "1.000 0.000 0.000 rg\n0.000 g\n0.502 G\n0.000 0.000 1.000 RG\n"
                       "10.00 20.00 30.00 40.00  K\n0.00 0.00 0.00 100.00  k\n");
    EXPECT_EQ(writer.document().textColor, "1.000 1.000 0.000 rg");
}

TEST_F(Page, ColourFlagRisesWhenFillAndTextDifferAndNeverFallsBySetters)
{
    EXPECT_FALSE(writer.document().colorFlag);
    writer.setTextColor(255, 0, 0);
    EXPECT_TRUE(writer.document().colorFlag);
    writer.setFillColor(255, 0, 0);
    EXPECT_TRUE(writer.document().colorFlag);
}

TEST_F(Page, PathsShapesDashesAndTransforms)
{
    writer.setLineWidth(0.5f);
    writer.moveTo(10, 10);
    writer.lineTo(20, 10);
    writer.curveTo(1, 2, 3, 4, 5, 6);
    writer.paintPath("D");
    writer.paintPath("DF");
    writer.paintPath("F");
    writer.paintPath("");
    writer.paintPath("n");
    writer.setDash(2, 1);
    writer.setDash(0, 1);
    writer.transform(1, 0, 0, 1, 2.5f, -3);
    writer.triangle(0, 0, 10, 0, 0, 10, "F");
    EXPECT_EQ(drawn(),
              "1.42 w\n28.35 813.54 m\n56.69 813.54 l\n2.83 836.22 8.50 830.55 14.17 824.88 c\n"
              "s\nb\nf\nS\nn\n[5.669 2.835] 0 d\n[] 0 d\n1.000 0.000 0.000 1.000 2.500 -3.000 cm\n"
              "0.00 841.89 m\n28.35 841.89 l\n0.00 813.54 l\nf\n");
}

TEST_F(Page, CircleIsFourQuarterArcsBackToItsStart)
{
    writer.circle(100, 100, 10, "D");
    std::vector<std::string> lines = test::splitLines(drawn());
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "311.81 558.43 m");
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(lines[static_cast<std::size_t>(i)].substr(lines[1].size() - 1), "c");
    EXPECT_EQ(lines[4].substr(lines[4].size() - 15), "311.81 558.43 c");
    EXPECT_EQ(lines[5], "s");
}

TEST_F(Page, RotationWrapsAndEndsAtThePageBoundary)
{
    writer.rotate(90, 10, 20);
    writer.rotate(0, -1, -1);
    writer.rotate(30, 0, 0);
    EXPECT_EQ(drawn(),
              "q 0.00000 1.00000 -1.00000 0.00000 28.35 785.20 cm\n1 0 0 1 -28.35 -785.20 cm\nQ\n"
              "q 0.86603 0.50000 -0.50000 0.86603 0.00 841.89 cm\n1 0 0 1 0.00 -841.89 cm\n");
    writer.addPage("", "");
    EXPECT_EQ(writer.pageContent(0).substr(writer.pageContent(0).size() - 2), "Q\n");
    EXPECT_EQ(writer.document().rotationAngle, 0.0f);
}

TEST_F(Page, NewPageRestoresWidthAndColoursButNotTheTextColourLine)
{
    writer.setLineWidth(0.5f);
    writer.setDrawColor(0, 0, 255);
    writer.setFillColor(255, 255, 0);
    writer.setTextColor(255, 0, 0);
    writer.addPage("", "");
    EXPECT_EQ(content(), "2 J\n1.42 w\n0.000 0.000 1.000 RG\n1.000 1.000 0.000 rg\n");
    EXPECT_EQ(writer.document().textColor, "1.000 0.000 0.000 rg");
    EXPECT_TRUE(writer.document().colorFlag);
}

TEST_F(Page, HeaderAndFooterRunOncePerPageWithTheirArguments)
{
    std::vector<std::string> calls;
    writer.setHeaderProc(
        [&](PdfWriter& w, std::int32_t arg) {
            calls.push_back("header" + std::to_string(arg));
            w.setLineWidth(2);  // changed by the header, restored afterwards
            w.setDrawColor(255, 0, 0);
        },
        7);
    writer.setFooterProc(
        [&](PdfWriter& w, std::int32_t arg) {
            calls.push_back("footer" + std::to_string(arg) + (w.document().inFooter ? "in" : ""));
        },
        0);
    writer.addPage("", "");
    EXPECT_EQ(content(), "2 J\n0.57 w\n5.67 w\n1.000 0.000 0.000 RG\n0.57 w\n0 G\n");
    writer.close();
    EXPECT_EQ(calls, (std::vector<std::string>{"footer0in", "header7", "footer0in"}));
}

TEST_F(Page, PageNumberingCountsOnlyWhileOn)
{
    EXPECT_EQ(writer.getPageNumber(), 1);
    writer.startPageNumbering();
    writer.addPage("", "");
    writer.addPage("", "");
    writer.stopPageNumbering();
    writer.addPage("", "");
    EXPECT_EQ(writer.getPageNumber(), 3);
}

TEST_F(Page, LandscapePageGetsItsOwnMediaBoxAndTheNextReturnsToDefault)
{
    writer.addPage("L", "");
    EXPECT_EQ(writer.document().pages[1].ownSize, 1);
    writer.line(0, 0, 10, 0);
    EXPECT_EQ(drawn().substr(0), "0.00 595.28 m 28.35 595.28 l S\n");
    writer.addPage("", "");
    writer.addPage("P", "612,792");
    writer.close();
    std::string pdf(writer.bytes());
    EXPECT_EQ(test::checkXref(pdf), "");
    EXPECT_NE(test::objectText(pdf, 3).find("/MediaBox [0 0 595.28 841.89]"), std::string::npos);
    EXPECT_NE(test::objectText(pdf, 5).find("/MediaBox [0 0 841.89 595.28]"), std::string::npos);
    EXPECT_NE(test::objectText(pdf, 7).find("/MediaBox [0 0 595.28 841.89]"), std::string::npos);
    EXPECT_NE(test::objectText(pdf, 9).find("/MediaBox [0 0 612.00 792.00]"), std::string::npos);
}

TEST_F(Page, EveryPageObjectHasItsContentAsTheNextObject)
{
    for (int i = 0; i < 4; ++i) writer.addPage("", "");
    writer.close();
    std::string pdf(writer.bytes());
    for (int page = 0; page < 5; ++page) {
        int object = 3 + 2 * page;
        EXPECT_NE(test::objectText(pdf, object).find("/Contents " + std::to_string(object + 1) + " 0 R>>"),
                  std::string::npos);
        EXPECT_EQ(test::objectText(pdf, object + 1).find(std::to_string(object + 1) + " 0 obj\n<</Length"), 0u);
    }
    EXPECT_NE(test::objectText(pdf, 1).find("/Kids [3 0 R 5 0 R 7 0 R 9 0 R 11 0 R]\n/Count 5"), std::string::npos);
}

std::string aliasedPage(int pages, const std::string& alias, const std::string& text)
{
    PdfWriter writer;
    writer.initialize();
    writer.create("", "", "");
    writer.aliasTotalPages(alias);
    writer.addPage("", "");
    writer.out(text);
    for (int i = 1; i < pages; ++i) writer.addPage("", "");
    writer.close();
    std::string pdf(writer.bytes());
    EXPECT_EQ(test::checkXref(pdf), "");
    std::string stream = test::objectText(pdf, 4);
    std::size_t start = stream.find("stream\n") + 7;
    return stream.substr(start, stream.find("\nendstream") - start);
}

TEST(TotalPagesAlias, ReplacedInEveryPlaceWhateverTheNumberLength)
{
    EXPECT_EQ(aliasedPage(12, "{nb}", "({nb} and {nb})"), "2 J\n0.57 w\n(12 and 12)\n");
    EXPECT_EQ(aliasedPage(4, "{nb}", "{nb}{nb}x{nb}"), "2 J\n0.57 w\n44x4\n");
    EXPECT_EQ(aliasedPage(3, "{nb}", "no alias here"), "2 J\n0.57 w\nno alias here\n");
    EXPECT_EQ(aliasedPage(2, "", "{nb}"), "2 J\n0.57 w\n{nb}\n");
    // A number longer than the alias grows the content.
    EXPECT_EQ(aliasedPage(1000, "#", "#/#"), "2 J\n0.57 w\n1000/1000\n");
    EXPECT_EQ(aliasedPage(10, "N", "NN"), "2 J\n0.57 w\n1010\n");
    // Overlapping occurrences are taken from the end: the last whole one wins.
    EXPECT_EQ(aliasedPage(10, "NN", "NNN"), "2 J\n0.57 w\nN10\n");
    EXPECT_EQ(aliasedPage(7, "NN", "NNNN xNNNx"), "2 J\n0.57 w\n77 xN7x\n");
}

// Pages share one contents buffer; a page whose alias is replaced gets its own,
// and its neighbours, before and after, stay exactly as written.
TEST(TotalPagesAlias, ReplacedPagesLeaveTheirNeighboursAlone)
{
    PdfWriter writer;
    writer.initialize();
    writer.create("", "", "");
    writer.aliasTotalPages("{nb}");
    const std::vector<std::string> texts = {"first {nb}", "plain", "{nb}{nb}", "", "also plain", "last of {nb}"};
    for (const std::string& text : texts) {
        writer.addPage("", "");
        if (!text.empty()) writer.out(text);
    }
    writer.close();
    std::string pdf(writer.bytes());
    ASSERT_EQ(test::checkXref(pdf), "");
    const std::vector<std::string> shown = {"first 6\n", "plain\n", "66\n", "", "also plain\n", "last of 6\n"};
    for (std::size_t page = 0; page < shown.size(); ++page) {
        std::string stream = test::objectText(pdf, 4 + 2 * static_cast<int>(page));
        std::size_t start = stream.find("stream\n") + 7;
        EXPECT_EQ(stream.substr(start, stream.find("\nendstream") - start), "2 J\n0.57 w\n" + shown[page]) << page;
    }
}

TEST(TotalPagesAlias, LengthIsThatOfTheReplacedContent)
{
    PdfWriter writer;
    writer.initialize();
    writer.create("", "", "");
    writer.aliasTotalPages("#");
    writer.addPage("", "");
    std::string shown;
    for (int i = 0; i < 1000; ++i) shown += "(#) ";
    writer.out(shown);
    for (int i = 1; i < 100; ++i) writer.addPage("", "");
    writer.close();
    std::string pdf(writer.bytes());
    EXPECT_EQ(test::checkXref(pdf), "");
    std::string page = test::objectText(pdf, 4);
    EXPECT_NE(page.find("<</Length " + std::to_string(11 + 6000 + 1) + ">>"), std::string::npos);
    std::string path = test::writeTempFile("alias.pdf", pdf);
    EXPECT_TRUE(test::qpdfAccepts(path));
    EXPECT_EQ(test::pdfinfoPages(path), 100);
}

TEST(CompressProc, OfferedEveryPageAndFilterOnlyOnSuccess)
{
    PdfWriter writer;
    writer.initialize();
    writer.create("", "", "");
    int calls = 0;
    writer.setCompressProc([&](ByteBuffer& buffer) {
        ++calls;
        if (calls == 2) return false;
        buffer.clear();
        buffer.append("x");
        return true;
    });
    writer.addPage("", "");
    writer.addPage("", "");
    writer.close();
    std::string pdf(writer.bytes());
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(test::objectText(pdf, 4), "4 0 obj\n<</Filter /FlateDecode /Length 1>>\nstream\nx\nendstream\nendobj\n");
    EXPECT_EQ(test::objectText(pdf, 6).substr(0, 24), "6 0 obj\n<</Length 11>>\ns");
}

TEST(DrawingWithoutAPage, StoresWidthAndColoursForTheFirstPage)
{
    PdfWriter writer;
    writer.initialize();
    writer.create("", "", "");
    writer.setLineWidth(1);
    writer.setDrawColor(255, 0, 0);
    writer.setFillColor(0, 255, 0);
    EXPECT_EQ(writer.bytes(), "%PDF-1.3\n");
    writer.addPage("", "");
    EXPECT_EQ(writer.pageContent(0),
              "2 J\n2.83 w\n1.000 0.000 0.000 RG\n0.000 1.000 0.000 rg\n");
}

// Writers keep every line they build and every colour they remember to
// themselves: two documents written at once on two threads come out as each does
// alone.
TEST(Writers, TwoThreadsWriteWhatEachWritesAlone)
{
    auto document = [](int seed) {
        PdfWriter writer;
        writer.initialize();
        writer.create("P", "mm", "");
        writer.aliasTotalPages("{nb}");
        writer.setFont("Helvetica", "U", 10);
        for (int page = 0; page < 200; ++page) {
            writer.addPage("", "");
            for (int row = 0; row < 40; ++row) {
                const auto shade = static_cast<float>((seed * 97 + page * 13 + row * 7) % 256);
                writer.setTextColor(shade, 0, 255 - shade);
                writer.setDrawColor(0, shade, 0);
                writer.text(static_cast<float>(seed + row), static_cast<float>(10 + row * 6),
                            "Row " + std::to_string(row) + " of {nb} (" + std::to_string(seed) + ")");
                writer.line(10, static_cast<float>(row * 6), 200, static_cast<float>(row * 6 + seed));
            }
        }
        writer.close();
        return std::string(writer.bytes());
    };
    // A fixed creation date: the documents are compared across a second's tick.
    ::setenv("SOURCE_DATE_EPOCH", "0", 1);
    const std::string aloneA = document(1);
    const std::string aloneB = document(2);
    std::string togetherA, togetherB;
    std::thread a([&] { togetherA = document(1); });
    std::thread b([&] { togetherB = document(2); });
    a.join();
    b.join();
    ::unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_TRUE(togetherA == aloneA);
    EXPECT_TRUE(togetherB == aloneB);
}

}  // namespace
}  // namespace tabulon::pdf
