// The page canvas: a widget that shows an image which keeps everything drawn on
// it, so the page stays on screen however often the window is repainted.
#pragma once

#include <QImage>
#include <QWidget>

namespace tabulon::platform {

// A white page image of that many pixels at `dotsPerInch`, so that fonts given in
// points come out at the screen's size.
QImage makePageImage(int width, int height, double dotsPerInch);

class QtPageCanvas : public QWidget {
public:
    QtPageCanvas(QWidget* parent, int width, int height, double dotsPerInch);
    QImage& image() { return image_; }
    // Shows what was drawn on the image now, not at the next turn of the loop.
    void showDrawing();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

}  // namespace tabulon::platform
