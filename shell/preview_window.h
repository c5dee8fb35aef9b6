// openPreviewWindow: builds the program's one window from the computed layout,
// in a fixed order (window, canvas, buttons, tooltips, background), through the
// few window operations of WindowPlatform. The Qt platform layer provides them;
// the tests record them.
#pragma once

#include <string_view>
#include <utility>

#include "preview_geometry.h"

namespace tabulon::shell {

enum class ButtonPicture { Exit, Pdf, Print };

inline constexpr std::string_view kPreviewTitle = "PREVIEW 2.0";
inline constexpr std::string_view kPdfTooltip = "Klick on symbol for PDF or press F6.";
inline constexpr std::string_view kPrintTooltip = "Klick on symbol for print or press F4.";

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
};
inline constexpr Rgb kPreviewBackground{0, 191, 255};

class WindowPlatform {
public:
    virtual ~WindowPlatform() = default;
    // Width and height in pixels of the primary desktop.
    virtual std::pair<int, int> desktopSize() = 0;
    // A borderless top-level window at the given position with the given inner
    // size, shown normally. False when it cannot be opened.
    virtual bool openWindow(int window, const PixelRect& rect, std::string_view title) = 0;
    virtual void createCanvas(int gadget, const PixelRect& rect) = 0;
    virtual void createPictureButton(int gadget, const PixelRect& rect, ButtonPicture picture) = 0;
    virtual void setTooltip(int gadget, std::string_view text) = 0;
    virtual void setBackground(int window, Rgb colour) = 0;
};

struct PreviewWindowResult {
    PreviewGeometry geometry;  // set even when the window could not be opened
    bool opened = false;
};

PreviewWindowResult openPreviewWindow(WindowPlatform& platform, std::string_view orientationCode);

}  // namespace tabulon::shell
