#include "qt_page_canvas.h"

#include <cmath>

#include <QPainter>

namespace tabulon::platform {

QImage makePageImage(int width, int height, double dotsPerInch)
{
    QImage image(width, height, QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(dotsPerInch / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    return image;
}

QtPageCanvas::QtPageCanvas(QWidget* parent, int width, int height, double dotsPerInch)
    : QWidget(parent), image_(makePageImage(width, height, dotsPerInch))
{
    setFixedSize(width, height);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void QtPageCanvas::showDrawing()
{
    repaint();
}

void QtPageCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

}  // namespace tabulon::platform
