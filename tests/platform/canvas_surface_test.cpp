#include <cstdio>
#include <string>

#include <QImage>

#include <gtest/gtest.h>

#include "button_pictures.h"
#include "decoded_image.h"
#include "qt_canvas_surface.h"
#include "qt_page_canvas.h"

using namespace tabulon::platform;

namespace {

QString latin1(const std::string& text) { return QString::fromLatin1(text); }

constexpr std::uint32_t kRed = 0xFF0000FF;
constexpr std::uint32_t kBlue = 0xFFFF0000;
constexpr QRgb kWhite = 0xFFFFFFFF;

// 10 pixels per millimetre keeps the expected pixels easy to read.
QImage page() { return makePageImage(200, 150, 254.0); }

}  // namespace

TEST(CanvasSurface, OutputHeightIsTheCanvasAtTheScreensResolution)
{
    QImage image = makePageImage(100, 1000, 96.0);
    QtCanvasSurface surface(image, latin1);
    EXPECT_NEAR(surface.outputHeight(), 264.58, 0.01);
    EXPECT_EQ(surface.canvasWidth(), 100);
    EXPECT_EQ(surface.canvasHeight(), 1000);
}

TEST(CanvasSurface, FilledBoxCoversItsMillimetresAndClearsThePath)
{
    QImage image = page();
    int shown = 0;
    QtCanvasSurface surface(image, latin1, [&] { ++shown; });
    surface.open();
    surface.setSourceColour(kRed);
    surface.addPathBox(1, 2, 5, 3);
    surface.fillPath();
    surface.setSourceColour(kBlue);
    surface.strokePath(1.0);  // the fill consumed the path: no outline
    surface.close();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(image.pixel(10, 20), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(59, 49), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(60, 50), kWhite);
    EXPECT_EQ(image.pixel(9, 35), kWhite);
}

TEST(CanvasSurface, StrokedLineHasItsWidthInMillimetres)
{
    QImage image = page();
    QtCanvasSurface surface(image, latin1);
    surface.open();
    surface.setSourceColour(kBlue);
    surface.movePathCursor(2, 8.05);
    surface.addPathLine(12, 8.05);
    surface.strokePath(0.5);  // 5 pixels: rows 78 to 82
    surface.close();
    EXPECT_EQ(image.pixel(50, 78), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(50, 82), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(50, 77), kWhite);
    EXPECT_EQ(image.pixel(50, 83), kWhite);
}

TEST(CanvasSurface, TransparentColourDrawsNothing)
{
    QImage image = page();
    QtCanvasSurface surface(image, latin1);
    surface.open();
    surface.setSourceColour(0x000000FF);  // red with alpha 0
    surface.addPathBox(0, 0, 20, 15);
    surface.fillPath();
    auto font = surface.loadFont("DejaVu Sans", 12, true);
    surface.selectVectorFont(*font);
    surface.movePathCursor(1, 1);
    surface.drawText("Invisible");
    surface.close();
    EXPECT_EQ(image, page());
}

TEST(CanvasSurface, TextHangsBelowTheCursor)
{
    QImage image = page();
    QtCanvasSurface surface(image, latin1);
    surface.open();
    surface.setSourceColour(0xFF000000);
    auto font = surface.loadFont("DejaVu Sans", 12, false);
    surface.selectVectorFont(*font);
    surface.movePathCursor(2, 5);
    surface.drawText("HHHH");
    surface.close();
    // 12 pt at 254 dpi is about 42 pixels high: ink below y = 50, none above it.
    int inkAbove = 0, inkBelow = 0;
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                (y < 50 ? inkAbove : inkBelow)++;
            }
        }
    }
    EXPECT_EQ(inkAbove, 0);
    EXPECT_GT(inkBelow, 100);
}

TEST(CanvasSurface, PictureCoversItsMillimetresOrItsOwnPixels)
{
    const auto data = buttonPictureData(tabulon::shell::ButtonPicture::Exit);
    const std::string path = ::testing::TempDir() + "canvas_picture.jpg";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(data.data(), 1, data.size(), file);
    std::fclose(file);

    // From the cursor at (2, 3) mm, that is pixel (20, 30): stretched to 6 x 9 mm,
    // or resized to 40 x 50 pixels and drawn at its own size (width and height 0).
    const struct {
        int resizeW, resizeH;
        double width, height;
        int right, bottom;  // the first pixels past the picture
    } cases[] = {{0, 0, 6, 9, 80, 120}, {40, 50, 0, 0, 60, 80}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.right);
        QImage image = page();
        QtCanvasSurface surface(image, latin1);
        surface.open();
        auto picture = surface.loadImage(path);
        ASSERT_NE(picture, nullptr);
        if (c.resizeW > 0) surface.resizeImage(*picture, c.resizeW, c.resizeH);
        surface.movePathCursor(2, 3);
        surface.drawImage(*picture, 255, c.width, c.height);
        surface.close();
        EXPECT_EQ(image.pixel(19, 31), kWhite);
        EXPECT_NE(image.pixel(20, 30), kWhite);
        EXPECT_NE(image.pixel(c.right - 1, c.bottom - 1), kWhite);
        EXPECT_EQ(image.pixel(c.right, c.bottom - 1), kWhite);
        EXPECT_EQ(image.pixel(c.right - 1, c.bottom), kWhite);
    }
    QImage image = page();
    QtCanvasSurface surface(image, latin1);
    EXPECT_EQ(surface.loadImage("/nonexistent.jpg"), nullptr);
}

TEST(ButtonPictures, AreThirtyByThirtyJpegs)
{
    using tabulon::shell::ButtonPicture;
    for (auto picture : {ButtonPicture::Exit, ButtonPicture::Pdf, ButtonPicture::Print}) {
        const auto decoded = decodeJpeg(buttonPictureData(picture));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->width, 30);
        EXPECT_EQ(decoded->height, 30);
    }
}
