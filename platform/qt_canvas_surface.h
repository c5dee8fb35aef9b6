// VectorSurface on a page image: the preview canvas's image, or an image of the
// same size that the exporter writes out as a picture of the page.
#pragma once

#include <functional>
#include <optional>

#include "qt_painter_surface.h"

namespace tabulon::platform {

class QtCanvasSurface : public QtPainterSurface {
public:
    // `shown` runs at every close(), when what was drawn is to become visible.
    QtCanvasSurface(QImage& image, TextDecoder decodeText, std::function<void()> shown = {});

    void open() override;
    void close() override;
    double outputHeight() override;
    int canvasWidth() override { return image_.width(); }
    int canvasHeight() override { return image_.height(); }

private:
    QImage& image_;
    std::function<void()> shown_;
    std::optional<QPainter> painter_;
};

}  // namespace tabulon::platform
