#include "qt_canvas_surface.h"

namespace tabulon::platform {

namespace {

double pixelsPerMmOf(const QImage& image)
{
    // The whole dots per inch the image reports, which its fonts use too.
    return image.logicalDpiY() / 25.4;
}

}  // namespace

QtCanvasSurface::QtCanvasSurface(QImage& image, TextDecoder decodeText, std::function<void()> shown)
    : QtPainterSurface(decodeText), image_(image), shown_(std::move(shown))
{
}

void QtCanvasSurface::open()
{
    close();
    painter_.emplace(&image_);
    beginDrawing(&*painter_, pixelsPerMmOf(image_));
}

void QtCanvasSurface::close()
{
    if (!painter_) {
        return;
    }
    endDrawing();
    painter_.reset();
    if (shown_) {
        shown_();
    }
}

double QtCanvasSurface::outputHeight()
{
    return image_.height() / pixelsPerMmOf(image_);
}

}  // namespace tabulon::platform
