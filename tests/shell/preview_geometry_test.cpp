#include <gtest/gtest.h>

#include "preview_geometry.h"

using tabulon::shell::computePreviewGeometry;
using tabulon::shell::PixelRect;
using tabulon::shell::roundHalfEven;

namespace {

void expectRect(const PixelRect& rect, int x, int y, int width, int height)
{
    EXPECT_EQ(rect.x, x);
    EXPECT_EQ(rect.y, y);
    EXPECT_EQ(rect.width, width);
    EXPECT_EQ(rect.height, height);
}

}  // namespace

TEST(PreviewGeometry, WorkedExampleOnA1920By1080DesktopPortrait)
{
    const auto g = computePreviewGeometry(1920, 1080, "P");
    EXPECT_FLOAT_EQ(g.previewPixelsPerMm, 2.7272727f);
    EXPECT_FLOAT_EQ(g.pageWidthPx, 572.7273f);
    EXPECT_FLOAT_EQ(g.pageHeightPx, 810.0f);
    expectRect(g.window, 674, 5, 619, 816);
    expectRect(g.canvas, 3, 3, 573, 810);
    expectRect(g.exitButton, 580, 648, 30, 30);
    expectRect(g.printButton, 580, 567, 30, 30);
    expectRect(g.pdfButton, 580, 486, 30, 30);
}

TEST(PreviewGeometry, WorkedExampleOnA1920By1080DesktopLandscape)
{
    const auto g = computePreviewGeometry(1920, 1080, "L");
    EXPECT_FLOAT_EQ(g.previewPixelsPerMm, 3.8571429f);
    EXPECT_FLOAT_EQ(g.pageWidthPx, 1145.5714f);
    EXPECT_FLOAT_EQ(g.pageHeightPx, 810.0f);
    expectRect(g.window, 387, 5, 1237, 816);
    expectRect(g.canvas, 3, 3, 1146, 810);
    expectRect(g.exitButton, 1159, 648, 30, 30);
    expectRect(g.printButton, 1159, 567, 30, 30);
    expectRect(g.pdfButton, 1159, 486, 30, 30);
}

TEST(PreviewGeometry, EveryCodeButExactLIsPortrait)
{
    const auto portrait = computePreviewGeometry(1920, 1080, "P");
    for (const char* code : {"l", "", "X", "LL", " L"}) {
        const auto g = computePreviewGeometry(1920, 1080, code);
        EXPECT_EQ(g.previewPixelsPerMm, portrait.previewPixelsPerMm) << '"' << code << '"';
        EXPECT_EQ(g.window.width, portrait.window.width) << '"' << code << '"';
    }
}

TEST(PreviewGeometry, LandscapeOnANarrowDesktopGoesOffTheLeftEdge)
{
    const auto g = computePreviewGeometry(800, 1280, "L");
    EXPECT_LT(g.window.x, 0);
    EXPECT_EQ(g.window.x, 400 - roundHalfEven(g.pageWidthPx / 2.0f));
}

TEST(PreviewGeometry, ButtonsSitAtTheSameShareOfThePageHeight)
{
    for (const char* code : {"P", "L"}) {
        const auto g = computePreviewGeometry(2560, 1440, code);
        EXPECT_EQ(g.exitButton.y, roundHalfEven(g.pageHeightPx * 0.8f));
        EXPECT_EQ(g.printButton.y, roundHalfEven(g.pageHeightPx * 0.7f));
        EXPECT_EQ(g.pdfButton.y, roundHalfEven(g.pageHeightPx * 0.6f));
        EXPECT_FLOAT_EQ(g.pageHeightPx, 1080.0f);
    }
}

TEST(PreviewGeometry, RoundingTakesHalvesToEven)
{
    const struct {
        float value;
        int expected;
    } cases[] = {{0.5f, 0}, {1.5f, 2}, {2.5f, 2}, {3.5f, 4}, {-0.5f, 0}, {-1.5f, -2}, {2.4999f, 2}, {2.5001f, 3}};
    for (const auto& c : cases) {
        EXPECT_EQ(roundHalfEven(c.value), c.expected) << c.value;
    }
}
