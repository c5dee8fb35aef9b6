// Units, formats, orientation, margins and the hook lists.
#include <gtest/gtest.h>

#include "pdf_writer.h"

namespace tabulon::pdf {
namespace {

TEST(Create, DefaultsArePortraitA4InMillimetres)
{
    PdfWriter writer;
    writer.initialize();
    ASSERT_EQ(writer.create("", "", ""), 1);
    const PdfDocument& d = writer.document();
    EXPECT_FLOAT_EQ(d.k, 2.8346457f);
    EXPECT_NEAR(d.w, 210.0f, 0.002f);
    EXPECT_NEAR(d.h, 297.0f, 0.001f);
    EXPECT_NEAR(d.lMargin, 10.0f, 0.002f);
    EXPECT_EQ(d.rMargin, d.lMargin);
    EXPECT_NEAR(d.bMargin, 20.0f, 0.003f);
    EXPECT_NEAR(d.lineWidth, 0.2f, 0.0001f);
    EXPECT_EQ(d.fontSizePt, 12);
    EXPECT_EQ(d.defOrientation, "P");
    EXPECT_EQ(d.state, DocumentState::HeaderWritten);
    EXPECT_EQ(d.objectCount, 2);
    EXPECT_EQ(d.zoomMode, -2);
    EXPECT_EQ(d.layoutMode, "/OneColumn");
    EXPECT_EQ(writer.bytes(), "%PDF-1.3\n");
}

TEST(Create, PageHeightIsTheSinglePrecisionQuotient)
{
    // 841.89 / k in single precision is 297.00009, not 297: numbers derived from
    // it are printed from that value.
    PdfWriter writer;
    writer.initialize();
    writer.create("P", "mm", "595.28,841.89");
    EXPECT_EQ(writer.document().h, 841.89f / 2.8346457f);
    EXPECT_GT(writer.document().h, 297.0f);
}

TEST(Create, UnitsOrientationsAndFormats)
{
    struct Case {
        const char* orientation;
        const char* unit;
        const char* format;
        float k, w, h;
        const char* def;
    } cases[] = {
        {"landscape", "mm", "595.28,841.89", 2.8346457f, 297.0f, 210.0f, "L"},
        {"l", "mm", "", 2.8346457f, 297.0f, 210.0f, "L"},
        {"P", "MM", "", 2.8346457f, 210.0f, 297.0f, "P"},
        {"portrait", "pt", "595.28,841.89", 1.0f, 595.28f, 841.89f, "P"},
        {"P", "in", "612,792", 72.0f, 8.5f, 11.0f, "P"},
        {"P", "cm", "595.28,841.89", 28.346457f, 21.0f, 29.7f, "P"},
        {"X", "furlong", "abc,def", 2.8346457f, 0.0f, 0.0f, "P"},
    };
    for (const Case& c : cases) {
        PdfWriter writer;
        writer.initialize();
        writer.create(c.orientation, c.unit, c.format);
        const PdfDocument& d = writer.document();
        EXPECT_FLOAT_EQ(d.k, c.k) << c.unit;
        EXPECT_NEAR(d.w, c.w, 0.002f) << c.orientation << " " << c.unit;
        EXPECT_NEAR(d.h, c.h, 0.002f) << c.orientation << " " << c.unit;
        EXPECT_EQ(d.defOrientation, c.def);
    }
    PdfWriter inches;
    inches.initialize();
    inches.create("P", "in", "612,792");
    EXPECT_FLOAT_EQ(inches.document().lMargin, 0.39375f);
}

TEST(Margins, RightMinusOneMeansLeftAndLeftMarginMovesXOnlyOnAPage)
{
    PdfWriter writer;
    writer.initialize();
    writer.create("", "", "");
    writer.setMargins(5, 5, -1);
    EXPECT_EQ(writer.document().rMargin, 5.0f);
    writer.setMargins(5, 5, 0);
    EXPECT_EQ(writer.document().rMargin, 0.0f);
    float x = writer.document().x;
    writer.setLeftMargin(20);
    EXPECT_EQ(writer.document().x, x);
    writer.addPage("", "");
    EXPECT_EQ(writer.document().x, 20.0f);
    writer.setLeftMargin(30);
    EXPECT_EQ(writer.document().x, 30.0f);
    writer.setLeftMargin(25);
    EXPECT_EQ(writer.document().x, 30.0f);
    writer.setAutoPageBreak(0, 15);
    EXPECT_FLOAT_EQ(writer.document().pageBreakTrigger, writer.document().h - 15);
}

TEST(Hooks, BuiltinsRegisteredAndResetKeepsPageEndHooks)
{
    PdfWriter writer;
    writer.initialize();
    const PdfDocument& d = writer.document();
    EXPECT_EQ(d.resourceHooks.size(), 2u);
    EXPECT_EQ(d.catalogHooks.size(), 3u);
    EXPECT_EQ(d.closeHooks.size(), 1u);
    EXPECT_EQ(d.pageEndHooks.size(), 1u);
    writer.addPageEndHook([](PdfWriter&) {});
    writer.addCatalogHook([](PdfWriter&) {});
    writer.resetHooks();
    EXPECT_EQ(d.catalogHooks.size(), 3u);
    EXPECT_EQ(d.pageEndHooks.size(), 2u);
}

TEST(Hooks, CalledInRegistrationOrderAtTheirPoints)
{
    PdfWriter writer;
    writer.initialize();
    writer.create("", "", "");
    std::string calls;
    writer.addPageEndHook([&](PdfWriter&) { calls += "p"; });
    writer.addResourceHook([&](PdfWriter&) { calls += "r1"; });
    writer.addResourceHook([&](PdfWriter&) { calls += "r2"; });
    writer.addCatalogHook([&](PdfWriter& w) {
        calls += "c";
        w.out("/Extra true");
    });
    writer.addCloseHook([&](PdfWriter& w) { calls += w.document().state == DocumentState::Closed ? "x" : "?"; });
    writer.addPage("", "");
    writer.addPage("", "");
    writer.close();
    EXPECT_EQ(calls, "ppr1r2cx");
    EXPECT_NE(writer.bytes().find("/PageLayout /OneColumn\n/Extra true\n>>"), std::string::npos);
    EXPECT_TRUE(writer.document().closeHooks.empty());
}

TEST(AcceptPageBreak, ProcedureOverridesTheAutoFlag)
{
    PdfWriter writer;
    writer.initialize();
    writer.create("", "", "");
    EXPECT_TRUE(writer.acceptPageBreak());
    writer.setAutoPageBreak(0, 10);
    EXPECT_FALSE(writer.acceptPageBreak());
    writer.setAcceptPageBreakProc([](PdfWriter&) { return true; });
    EXPECT_TRUE(writer.acceptPageBreak());
}

}  // namespace
}  // namespace tabulon::pdf
