// VectorSurface over QPainter, in millimetres. The painter works in device
// pixels; every length is multiplied by the device's pixels per millimetre, so
// text and pictures are placed on whole device pixels and look the same on the
// canvas, in the exported page pictures and on paper. Subclasses say where the
// painter comes from: the canvas image or the current print job.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include "vector_surface.h"

namespace tabulon::platform {

class QtSurfaceFont : public render::SurfaceFont {
public:
    explicit QtSurfaceFont(QFont font) : font(std::move(font)) {}
    QFont font;
};

class QtSurfaceImage : public render::SurfaceImage {
public:
    explicit QtSurfaceImage(QImage image) : image(std::move(image)) {}
    std::int64_t pixelCount() const override { return static_cast<std::int64_t>(image.width()) * image.height(); }
    QImage image;
};

// Text is Windows-1252 on the job's side and Unicode on Qt's.
using TextDecoder = QString (*)(const std::string& ansiText);

class QtPainterSurface : public render::VectorSurface {
public:
    explicit QtPainterSurface(TextDecoder decodeText);

    void setSourceColour(std::uint32_t rgba) override;
    void movePathCursor(double x, double y) override;
    void addPathLine(double x, double y) override;
    void addPathBox(double x, double y, double width, double height) override;
    void fillPath() override;
    void strokePath(double width) override;

    std::unique_ptr<render::SurfaceFont> loadFont(const std::string& family, int sizePt, bool bold) override;
    void selectVectorFont(const render::SurfaceFont& font) override;
    void drawText(const std::string& text) override;

    void makeJpegDecoderAvailable() override {}
    std::unique_ptr<render::SurfaceImage> loadImage(const std::string& file) override;
    void resizeImage(render::SurfaceImage& image, int widthPx, int heightPx) override;
    // With a width or height of 0 or less, the picture is drawn at its own pixel
    // size converted to millimetres at the output's resolution.
    void drawImage(const render::SurfaceImage& image, int alpha, double width, double height) override;

protected:
    // Called by open(): drawing goes to `painter` at `pixelsPerMm`; null draws nothing.
    void beginDrawing(QPainter* painter, double pixelsPerMm);
    void endDrawing();
    double pixelsPerMm() const { return pixelsPerMm_; }

private:
    QPointF toDevice(double x, double y) const;

    TextDecoder decodeText_;
    QPainter* painter_ = nullptr;
    double pixelsPerMm_ = 1.0;
    QPainterPath path_;
    QPointF cursor_;
    QColor colour_ = QColor(0, 0, 0, 0);
    QFont font_;
};

// Packed RGBA (red in the lowest byte, alpha in the highest) as a Qt colour.
QColor colourFromRgba(std::uint32_t rgba);

}  // namespace tabulon::platform
