// The GDI+ canvas surface drawing into a memory bitmap at 96 dpi (96 pixels are
// 25.4 mm), the pictures GDI+ decodes, and the print job without a printer.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "claim_files.h"
#include "gdiplus_pictures.h"
#include "gdiplus_session.h"
#include "gdiplus_surface.h"
#include "win32_print_job.h"

namespace {

using namespace tabulon::platform;

constexpr std::uint32_t kBlack = 0xFF000000;  // packed RGBA, red in the lowest byte
constexpr std::uint32_t kRed = 0xFF0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFF;  // canvas pixels: 0xRRGGBB
constexpr std::uint32_t kOlive = 0x7B7B0A;  // in none of the pictures drawn here

double mm(double pixels) { return pixels * 25.4 / 96.0; }

std::vector<std::uint8_t> fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A 32-bit top-down bitmap in a memory device context, as the canvas window holds one.
class Canvas {
public:
    Canvas(int width, int height, std::uint32_t background = kWhite) : width_(width), height_(height)
    {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        std::fill(bits_, bits_ + width * height, background);
    }
    ~Canvas()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    std::uint32_t pixel(int x, int y) const { return bits_[y * width_ + x] & 0xFFFFFF; }
    // Black ink over white along a run of pixels, in pixels fully covered.
    double ink(int x, int y, int dx, int dy, int count) const
    {
        double sum = 0;
        for (int i = 0; i < count; ++i) sum += (255 - ((pixel(x + i * dx, y + i * dy) >> 8) & 0xFF)) / 255.0;
        return sum;
    }
    int inkedPixels(int left, int top, int right, int bottom) const
    {
        int count = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) count += pixel(x, y) != kWhite;
        }
        return count;
    }

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

class GdiplusCanvas : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.started()); }
    GdiplusSession session;
};

TEST_F(GdiplusCanvas, OutputIsTheCanvasAtItsResolutionAndEveryCloseShowsIt)
{
    Canvas canvas(100, 960);
    int shown = 0;
    GdiplusCanvasSurface surface(canvas.dc(), 100, 960, 96, [&] { ++shown; });
    EXPECT_DOUBLE_EQ(surface.outputHeight(), 254.0);
    EXPECT_EQ(surface.canvasWidth(), 100);
    EXPECT_EQ(surface.canvasHeight(), 960);
    surface.close();  // nothing open: nothing to show
    surface.open();
    surface.open();  // opening again shows what was drawn so far
    surface.close();
    EXPECT_EQ(shown, 2);
}

TEST_F(GdiplusCanvas, FilledBoxCoversExactlyItsPixelsAndGetsNoOutline)
{
    // Pixels 12 to 59 across and 24 to 47 down; the fill consumes the path, so
    // the stroke after it draws nothing.
    Canvas canvas(80, 80);
    GdiplusCanvasSurface surface(canvas.dc(), 80, 80, 96, {});
    surface.open();
    surface.setSourceColour(kRed);
    surface.addPathBox(mm(12), mm(24), mm(48), mm(24));
    surface.fillPath();
    surface.setSourceColour(kBlack);
    surface.strokePath(1.0);
    surface.close();
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 80; ++x) {
            const bool in = x >= 12 && x < 60 && y >= 24 && y < 48;
            ASSERT_EQ(canvas.pixel(x, y), in ? 0xFF0000 : kWhite) << x << "," << y;
        }
    }
}

TEST_F(GdiplusCanvas, StrokesHaveTheirWidthFlatEndsAndMitredCorners)
{
    struct Scan {
        int x, y, dx, dy, count;
        double ink;  // pixels fully covered, within one pixel
    };
    struct Case {
        const char* name;
        std::function<void(GdiplusSurface&)> draw;
        std::vector<Scan> scans;
    };
    const double half = 0.5 * 96 / 25.4;  // 0.5 mm in pixels: 1.89
    const Case cases[] = {
        {"a 0.5 mm line across",
         [](GdiplusSurface& s) {
             s.movePathCursor(mm(20), mm(40.5));  // along the middle of pixel row 40
             s.addPathLine(mm(80), mm(40.5));
             s.strokePath(0.5);
         },
         {{50, 30, 0, 1, 20, half}, {10, 40, 1, 0, 80, 60}}},
        {"a 2 mm line down, its ends flat",
         [](GdiplusSurface& s) {
             s.movePathCursor(mm(40), mm(20));
             s.addPathLine(mm(40), mm(70));
             s.strokePath(2.0);
         },
         {{30, 50, 1, 0, 20, 4 * half}, {40, 10, 0, 1, 70, 50}}},
        {"a box outlined 4 tenths wide, its corners mitred",
         [](GdiplusSurface& s) {
             s.addPathBox(mm(20), mm(20), mm(50), mm(40));
             s.strokePath(0.4);
         },
         {{10, 40, 1, 0, 20, 0.8 * half},  // the left side
          {40, 10, 0, 1, 20, 0.8 * half},  // the top
          {30, 40, 1, 0, 30, 0}}},         // inside
        {"a box outlined 2 mm wide, its corners square",
         [](GdiplusSurface& s) {
             s.addPathBox(mm(20), mm(20), mm(50), mm(40));
             s.strokePath(2.0);
         },
         // rows inside the top and bottom sides run on through the corners
         {{10, 17, 1, 0, 80, 50 + 4 * half}, {10, 62, 1, 0, 80, 50 + 4 * half}}},
        {"an L whose corner is mitred",
         [](GdiplusSurface& s) {
             s.movePathCursor(mm(20), mm(20));
             s.addPathLine(mm(60), mm(20));
             s.addPathLine(mm(60), mm(70));
             s.strokePath(2.0);
         },
         {{10, 17, 1, 0, 70, 40 + 2 * half}}},  // the outer edge reaches past the corner by half the width
        {"width 0 draws nothing",
         [](GdiplusSurface& s) {
             s.addPathBox(mm(20), mm(20), mm(50), mm(40));
             s.strokePath(0);
         },
         {{10, 20, 1, 0, 80, 0}, {20, 10, 0, 1, 70, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(100, 100);
        GdiplusCanvasSurface surface(canvas.dc(), 100, 100, 96, {});
        surface.open();
        surface.setSourceColour(kBlack);
        c.draw(surface);
        surface.close();
        for (const Scan& scan : c.scans) {
            EXPECT_NEAR(canvas.ink(scan.x, scan.y, scan.dx, scan.dy, scan.count), scan.ink, 1.0)
                << "from " << scan.x << "," << scan.y;
        }
    }
}

TEST_F(GdiplusCanvas, TextHangsBelowAndRightOfTheCursor)
{
    // 12 pt at 96 dpi is a 16-pixel line; the cursor is at pixel (20, 30).
    const struct {
        const char* family;
        bool bold;
    } fonts[] = {{"Arial", false}, {"Courier New", true}, {"", false}};
    for (const auto& font : fonts) {
        SCOPED_TRACE(font.family);
        Canvas canvas(200, 80);
        GdiplusCanvasSurface surface(canvas.dc(), 200, 80, 96, {});
        surface.open();
        surface.setSourceColour(kBlack);
        const auto loaded = surface.loadFont(font.family, 12, font.bold);
        ASSERT_NE(loaded, nullptr);
        surface.selectVectorFont(*loaded);
        surface.movePathCursor(mm(20), mm(30));
        surface.drawText("HHHH");
        surface.close();
        EXPECT_EQ(canvas.inkedPixels(0, 0, 200, 30), 0);  // above the cursor
        EXPECT_EQ(canvas.inkedPixels(0, 30, 20, 80), 0);  // left of it
        EXPECT_GT(canvas.inkedPixels(20, 30, 200, 46), 60);
        // The capitals start below the line's top, within its upper half.
        EXPECT_GT(canvas.inkedPixels(20, 30, 200, 38), 0);
        EXPECT_EQ(canvas.inkedPixels(0, 47, 200, 80), 0);  // nothing below the line
    }
}

TEST_F(GdiplusCanvas, TransparentColourDrawsNothing)
{
    Canvas canvas(100, 100);
    GdiplusCanvasSurface surface(canvas.dc(), 100, 100, 96, {});
    surface.open();
    surface.setSourceColour(0x000000FF);  // red with alpha 0
    surface.addPathBox(mm(10), mm(10), mm(50), mm(50));
    surface.fillPath();
    surface.movePathCursor(mm(5), mm(5));
    surface.addPathLine(mm(90), mm(90));
    surface.strokePath(1.0);
    const auto font = surface.loadFont("Arial", 12, true);
    surface.selectVectorFont(*font);
    surface.movePathCursor(mm(10), mm(70));
    surface.drawText("Invisible");
    surface.close();
    EXPECT_EQ(canvas.inkedPixels(0, 0, 100, 100), 0);
}

TEST_F(GdiplusCanvas, PicturesCoverTheirMillimetresOrTheirOwnPixels)
{
    // From the cursor at pixel (24, 36), on olive that no picture here holds:
    // at its own size, stretched to 40 x 20 pixels' millimetres, or resized to
    // 40 x 50 pixels and drawn at that size.
    const struct {
        const char* file;
        int width, height;
    } pictures[] = {{"pngsuite/basn2c08.png", 32, 32}, {"jpeg/jd-jpg-size-33x33.jpg", 33, 33}};
    const struct {
        const char* name;
        int resizeWidth, resizeHeight;
        double width, height;
        int right, bottom;  // the first pixels past the picture; 0: its own size
        int edge;           // pixels along each edge that may go either way
    } placements[] = {{"own size", 0, 0, 0, 0, 0, 0, 0},
                      // resampled: within a pixel of its place
                      {"stretched", 0, 0, mm(40), mm(20), 64, 56, 1},
                      {"resized", 40, 50, 0, 0, 64, 86, 0}};
    for (const auto& picture : pictures) {
        const std::string path = std::string(TABULON_IMAGE_DATA) + "/" + picture.file;
        const std::optional<GdiplusPixels> decoded = decodePicture(fileBytes(path));
        ASSERT_TRUE(decoded) << path;
        EXPECT_EQ(decoded->width, picture.width);
        EXPECT_EQ(decoded->height, picture.height);
        for (const auto& placement : placements) {
            SCOPED_TRACE(std::string(picture.file) + ", " + placement.name);
            Canvas canvas(120, 120, kOlive);
            GdiplusCanvasSurface surface(canvas.dc(), 120, 120, 96, {});
            surface.open();
            const auto image = surface.loadImage(path);
            ASSERT_NE(image, nullptr);
            if (placement.resizeWidth > 0) surface.resizeImage(*image, placement.resizeWidth, placement.resizeHeight);
            surface.movePathCursor(mm(24), mm(36));
            surface.drawImage(*image, 255, placement.width, placement.height);
            surface.close();
            const int right = placement.right > 0 ? placement.right : 24 + picture.width;
            const int bottom = placement.bottom > 0 ? placement.bottom : 36 + picture.height;
            for (int y = 30; y < bottom + 6; ++y) {
                for (int x = 18; x < right + 6; ++x) {
                    const int e = placement.edge;
                    const bool in = x >= 24 + e && x < right - e && y >= 36 + e && y < bottom - e;
                    const bool out = x < 24 - e || x >= right + e || y < 36 - e || y >= bottom + e;
                    if (in || out) {
                        ASSERT_EQ(canvas.pixel(x, y) != kOlive, in) << x << "," << y;
                    }
                }
            }
            if (placement.right == 0) {  // pixel for pixel: exactly the decoded pixels
                for (int y = 0; y < picture.height; ++y) {
                    for (int x = 0; x < picture.width; ++x) {
                        std::uint32_t bgra;
                        std::memcpy(&bgra, &decoded->bgra[(y * picture.width + x) * 4], 4);
                        ASSERT_EQ(canvas.pixel(24 + x, 36 + y), bgra & 0xFFFFFF) << x << "," << y;
                    }
                }
            }
        }
    }
}

TEST_F(GdiplusCanvas, PicturesThatCannotBeDecodedAreNull)
{
    const std::string images = TABULON_IMAGE_DATA;
    for (const std::string& path : {images + "/missing.png", images, images + "/README.md",
                                    images + "/jpeg2000/gen-rgb8.jp2", images + "/wmf/gen-inkscape-shapes.wmf"}) {
        Canvas canvas(10, 10);
        GdiplusCanvasSurface surface(canvas.dc(), 10, 10, 96, {});
        EXPECT_EQ(surface.loadImage(path), nullptr) << path;
    }
    for (const auto& bytes : {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF},
                              fileBytes(images + "/jpeg/gen-no-sof.jpg")}) {
        EXPECT_FALSE(decodePicture(bytes)) << bytes.size() << " bytes";
        EXPECT_EQ(decodePictureToBitmap(bytes), nullptr);
    }
}

TEST_F(GdiplusCanvas, OversizedPicturesAreRefusedBeforeTheyAreDecoded)
{
    // 81 million pixels, beyond the limit, with data enough for its header's
    // claim: decoding would fill hundreds of megabytes before it failed.
    const std::string jpeg = tabulon::test::claimingJpeg(9000, 9000, 20'000);
    PROCESS_MEMORY_COUNTERS before{}, after{};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    EXPECT_FALSE(decodePicture(std::vector<std::uint8_t>(jpeg.begin(), jpeg.end())));
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    EXPECT_LT(after.PeakWorkingSetSize - before.PeakWorkingSetSize, std::size_t{32} << 20);
}

TEST_F(GdiplusCanvas, ButtonPicturesBecomeThirtyByThirtyTopDownBitmaps)
{
    for (const char* name : {"exit.jpg", "pdf.jpg", "print.jpg"}) {
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> bytes = fileBytes(std::string(TABULON_BUTTON_DATA) + "/" + name);
        HBITMAP bitmap = decodePictureToBitmap(bytes);
        ASSERT_NE(bitmap, nullptr);
        DIBSECTION section{};
        ASSERT_EQ(GetObject(bitmap, sizeof(section), &section), static_cast<int>(sizeof(section)));
        EXPECT_EQ(section.dsBm.bmWidth, 30);
        EXPECT_EQ(section.dsBm.bmHeight, 30);
        EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
        // The top row comes first, as decoded.
        const std::optional<GdiplusPixels> decoded = decodePicture(bytes);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(std::memcmp(section.dsBm.bmBits, decoded->bgra.data(), decoded->bgra.size()), 0);
        DeleteObject(bitmap);
    }
}

TEST_F(GdiplusCanvas, PrintJobWithoutAPrinterPrintsNothing)
{
    const std::optional<std::string> names[] = {std::nullopt, "No such printer", std::string("A\0B", 3), ""};
    for (const auto& name : names) {
        Win32PrintJob job(nullptr, name);
        if (name) {
            EXPECT_FALSE(job.choosePrinter());  // no dialog for a named printer
        }
        EXPECT_FALSE(job.start("Utskrift Preview"));
        EXPECT_EQ(job.dc(), nullptr);
        GdiplusPrinterSurface surface(job);
        surface.open();
        EXPECT_EQ(surface.outputHeight(), 0.0);
        surface.setSourceColour(kBlack);
        surface.addPathBox(0, 0, 10, 10);
        surface.fillPath();
        job.newPage();
        surface.close();
        job.end();
    }
}

}  // namespace
