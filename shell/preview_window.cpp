#include "preview_window.h"

namespace tabulon::shell {

PreviewWindowResult openPreviewWindow(WindowPlatform& platform, std::string_view orientationCode)
{
    const auto [width, height] = platform.desktopSize();
    PreviewWindowResult result;
    result.geometry = computePreviewGeometry(width, height, orientationCode);
    const PreviewGeometry& g = result.geometry;

    if (!platform.openWindow(kPreviewWindow, g.window, kPreviewTitle)) {
        return result;  // no gadget, tooltip or colour without a window
    }
    result.opened = true;
    platform.createCanvas(kPageCanvas, g.canvas);
    platform.createPictureButton(kExitButton, g.exitButton, ButtonPicture::Exit);
    platform.createPictureButton(kPrintButton, g.printButton, ButtonPicture::Print);
    platform.createPictureButton(kPdfButton, g.pdfButton, ButtonPicture::Pdf);
    platform.setTooltip(kPdfButton, kPdfTooltip);
    platform.setTooltip(kPrintButton, kPrintTooltip);
    platform.setBackground(kPreviewWindow, kPreviewBackground);
    return result;
}

}  // namespace tabulon::shell
