// The preview window's layout, computed from the primary desktop's size and the
// job's orientation: one A4 page fills three quarters of the desktop height, the
// window is centred on the page's width, and a column of three buttons sits in the
// 8 % strip to the right of the page. Every factor is a single-precision constant
// and every value is rounded to single precision when stored, so the pixel
// positions come out the same as on the system this layout was first made for.
#pragma once

#include <string_view>

namespace tabulon::shell {

// Gadget and window numbers that the main loop and the renderer use.
inline constexpr int kPreviewWindow = 0;
inline constexpr int kPageCanvas = 1;
inline constexpr int kExitButton = 2;
inline constexpr int kPdfButton = 3;
inline constexpr int kPrintButton = 4;

inline constexpr int kButtonSize = 30;
inline constexpr int kCanvasOffset = 3;
inline constexpr int kWindowTop = 5;

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct PreviewGeometry {
    float previewPixelsPerMm = 0.0f;
    float pageHeightPx = 0.0f;
    float pageWidthPx = 0.0f;
    PixelRect window;  // position on the desktop and inner size
    PixelRect canvas;  // inside the window
    PixelRect exitButton;
    PixelRect printButton;
    PixelRect pdfButton;
};

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4).
int roundHalfEven(float value);

// Landscape only for the exact code "L"; every other code, the empty one
// included, lays the page out as portrait.
PreviewGeometry computePreviewGeometry(int desktopWidth, int desktopHeight, std::string_view orientationCode);

}  // namespace tabulon::shell
