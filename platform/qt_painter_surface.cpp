#include "qt_painter_surface.h"

#include <algorithm>

#include <QFontMetricsF>
#include <QPen>

#include "decoded_image.h"

namespace tabulon::platform {

QColor colourFromRgba(std::uint32_t rgba)
{
    return QColor(static_cast<int>(rgba & 0xFF), static_cast<int>((rgba >> 8) & 0xFF),
                  static_cast<int>((rgba >> 16) & 0xFF), static_cast<int>((rgba >> 24) & 0xFF));
}

QtPainterSurface::QtPainterSurface(TextDecoder decodeText) : decodeText_(decodeText) {}

void QtPainterSurface::beginDrawing(QPainter* painter, double pixelsPerMm)
{
    painter_ = painter;
    pixelsPerMm_ = pixelsPerMm;
    path_ = QPainterPath();
    if (painter_) {
        painter_->setRenderHint(QPainter::Antialiasing, true);
        painter_->setRenderHint(QPainter::TextAntialiasing, true);
        painter_->setRenderHint(QPainter::SmoothPixmapTransform, true);
    }
}

void QtPainterSurface::endDrawing()
{
    painter_ = nullptr;
    path_ = QPainterPath();
}

QPointF QtPainterSurface::toDevice(double x, double y) const
{
    return {x * pixelsPerMm_, y * pixelsPerMm_};
}

void QtPainterSurface::setSourceColour(std::uint32_t rgba)
{
    colour_ = colourFromRgba(rgba);
}

void QtPainterSurface::movePathCursor(double x, double y)
{
    cursor_ = toDevice(x, y);
    path_.moveTo(cursor_);
}

void QtPainterSurface::addPathLine(double x, double y)
{
    cursor_ = toDevice(x, y);
    path_.lineTo(cursor_);
}

void QtPainterSurface::addPathBox(double x, double y, double width, double height)
{
    path_.addRect(QRectF(toDevice(x, y), QSizeF(width * pixelsPerMm_, height * pixelsPerMm_)));
}

void QtPainterSurface::fillPath()
{
    if (painter_) {
        painter_->fillPath(path_, colour_);
    }
    path_ = QPainterPath();
}

void QtPainterSurface::strokePath(double width)
{
    if (painter_ && width > 0.0) {
        QPen pen(colour_, width * pixelsPerMm_, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        painter_->strokePath(path_, pen);
    }
    path_ = QPainterPath();
}

std::unique_ptr<render::SurfaceFont> QtPainterSurface::loadFont(const std::string& family, int sizePt, bool bold)
{
    QFont font(QString::fromStdString(family));
    if (sizePt > 0) {
        font.setPointSize(sizePt);
    }
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return std::make_unique<QtSurfaceFont>(font);
}

void QtPainterSurface::selectVectorFont(const render::SurfaceFont& font)
{
    font_ = static_cast<const QtSurfaceFont&>(font).font;
}

void QtPainterSurface::drawText(const std::string& text)
{
    if (!painter_ || text.empty()) {
        return;
    }
    // The font resolves its point size with the device's own resolution.
    painter_->setFont(font_);
    painter_->setPen(colour_);
    const QFontMetricsF metrics(font_, painter_->device());
    painter_->drawText(QPointF(cursor_.x(), cursor_.y() + metrics.ascent()), decodeText_(text));
}

std::unique_ptr<render::SurfaceImage> QtPainterSurface::loadImage(const std::string& file)
{
    auto decoded = loadImageFile(file.c_str());
    if (!decoded) {
        return nullptr;
    }
    QImage image(decoded->rgba.data(), decoded->width, decoded->height, decoded->width * 4,
                 QImage::Format_RGBA8888);
    return std::make_unique<QtSurfaceImage>(image.copy());
}

void QtPainterSurface::resizeImage(render::SurfaceImage& image, int widthPx, int heightPx)
{
    auto& qt = static_cast<QtSurfaceImage&>(image).image;
    if (widthPx > 0 && heightPx > 0) {
        qt = qt.scaled(widthPx, heightPx, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
}

void QtPainterSurface::drawImage(const render::SurfaceImage& image, int alpha, double width, double height)
{
    if (!painter_) {
        return;
    }
    const QImage& qt = static_cast<const QtSurfaceImage&>(image).image;
    QSizeF size = width > 0.0 && height > 0.0 ? QSizeF(width * pixelsPerMm_, height * pixelsPerMm_)
                                              : QSizeF(qt.width(), qt.height());
    painter_->save();
    painter_->setOpacity(std::clamp(alpha, 0, 255) / 255.0);
    painter_->drawImage(QRectF(cursor_, size), qt);
    painter_->restore();
}

}  // namespace tabulon::platform
