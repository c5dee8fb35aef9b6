#include "preview_geometry.h"

#include <cmath>

namespace tabulon::shell {

int roundHalfEven(float value)
{
    // The default floating-point rounding mode rounds ties to even.
    return static_cast<int>(std::nearbyint(value));
}

PreviewGeometry computePreviewGeometry(int desktopWidth, int desktopHeight, std::string_view orientationCode)
{
    const bool landscape = orientationCode == "L";
    const float shortSide = 210.0f;
    const float longSide = 297.0f;
    const float height = static_cast<float>(desktopHeight);

    PreviewGeometry g;
    // Each assignment stores a float, which rounds the product to single precision.
    g.previewPixelsPerMm = 0.75f * height / (landscape ? shortSide : longSide);
    g.pageHeightPx = g.previewPixelsPerMm * (landscape ? shortSide : longSide);
    g.pageWidthPx = g.previewPixelsPerMm * (landscape ? longSide : shortSide);

    const float halfWidth = g.pageWidthPx / 2.0f;
    g.window.x = roundHalfEven(static_cast<float>(desktopWidth / 2) - halfWidth);
    g.window.y = kWindowTop;
    g.window.width = roundHalfEven(g.pageWidthPx * 1.08f);
    g.window.height = roundHalfEven(g.pageHeightPx * 1.007f);

    g.canvas = {kCanvasOffset, kCanvasOffset, roundHalfEven(g.pageWidthPx), roundHalfEven(g.pageHeightPx)};

    const int buttonX = roundHalfEven(g.pageWidthPx * 1.012f);
    g.exitButton = {buttonX, roundHalfEven(g.pageHeightPx * 0.8f), kButtonSize, kButtonSize};
    g.printButton = {buttonX, roundHalfEven(g.pageHeightPx * 0.7f), kButtonSize, kButtonSize};
    g.pdfButton = {buttonX, roundHalfEven(g.pageHeightPx * 0.6f), kButtonSize, kButtonSize};
    return g;
}

}  // namespace tabulon::shell
