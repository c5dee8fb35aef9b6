#include "gdiplus_surface.h"

#include <gdiplus.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <iterator>

#include "byte_buffer.h"
#include "decoded_image.h"
#include "gdiplus_pictures.h"
#include "image_loader.h"
#include "system_files.h"

namespace tabulon::platform {

namespace {

namespace gp = Gdiplus;
namespace flat = Gdiplus::DllExports;

// The job's text is Windows-1252 whatever the system's ANSI code page, as it is
// in the PDF.
constexpr UINT kJobCodePage = 1252;

// Device coordinates GDI takes (2^27), so that a far-off position stays far off
// instead of wrapping around.
constexpr double kMaxDeviceCoordinate = 134217727.0;

// The tallest font made, in device pixels: more than a sheet's height at 1200
// dpi, so that no letter that could be seen whole is made smaller, while a size of
// billions of points does not ask the rasterizer for glyphs of that size.
constexpr int kMaxFontPixels = 16384;

std::uint8_t alphaOf(std::uint32_t rgba) { return static_cast<std::uint8_t>(rgba >> 24); }

// Packed RGBA (red in the lowest byte) as GDI+'s ARGB (blue in the lowest byte).
gp::ARGB argbOf(std::uint32_t rgba)
{
    const std::uint32_t r = rgba & 0xFF, g = (rgba >> 8) & 0xFF, b = (rgba >> 16) & 0xFF;
    return (rgba & 0xFF000000u) | (r << 16) | (g << 8) | b;
}

int deviceInt(double value)
{
    if (std::isnan(value)) return 0;
    return static_cast<int>(std::lround(std::clamp(value, -kMaxDeviceCoordinate, kMaxDeviceCoordinate)));
}

gp::REAL deviceReal(double value)
{
    if (std::isnan(value)) return 0.0f;
    return static_cast<gp::REAL>(std::clamp(value, -kMaxDeviceCoordinate, kMaxDeviceCoordinate));
}

class GdiFont : public render::SurfaceFont {
public:
    explicit GdiFont(HFONT font) : handle(font, [](void* object) { DeleteObject(static_cast<HFONT>(object)); }) {}
    std::shared_ptr<void> handle;
};

// A decoded picture and the GDI+ bitmap over its pixels.
class GdiplusImage : public render::SurfaceImage {
public:
    explicit GdiplusImage(GdiplusPixels pixels) { replace(std::move(pixels)); }
    ~GdiplusImage() override { release(); }
    GdiplusImage(const GdiplusImage&) = delete;
    GdiplusImage& operator=(const GdiplusImage&) = delete;

    void replace(GdiplusPixels pixels)
    {
        release();
        pixels_ = std::move(pixels);
        flat::GdipCreateBitmapFromScan0(pixels_.width, pixels_.height, pixels_.width * 4, PixelFormat32bppPARGB,
                                        pixels_.bgra.data(), &bitmap_);
    }
    gp::GpBitmap* bitmap() const { return bitmap_; }
    int width() const { return pixels_.width; }
    int height() const { return pixels_.height; }
    std::int64_t pixelCount() const override { return static_cast<std::int64_t>(width()) * height(); }

private:
    void release()
    {
        if (bitmap_) flat::GdipDisposeImage(bitmap_);
        bitmap_ = nullptr;
    }

    GdiplusPixels pixels_;
    gp::GpBitmap* bitmap_ = nullptr;
};

struct PathDelete {
    void operator()(gp::GpPath* path) const { flat::GdipDeletePath(path); }
};
struct BrushDelete {
    void operator()(gp::GpSolidFill* brush) const { flat::GdipDeleteBrush(brush); }
};
struct AttributesDispose {
    void operator()(gp::GpImageAttributes* attributes) const { flat::GdipDisposeImageAttributes(attributes); }
};
struct GraphicsDelete {
    void operator()(gp::GpGraphics* graphics) const { flat::GdipDeleteGraphics(graphics); }
};
struct ImageDispose {
    void operator()(gp::GpBitmap* bitmap) const { flat::GdipDisposeImage(bitmap); }
};

// How pictures are sampled: the pixels at their edges are repeated outwards, so
// that resampling does not fade the edges into the transparency beyond them;
// with an alpha below 255, the picture shows through that much.
std::unique_ptr<gp::GpImageAttributes, AttributesDispose> pictureAttributes(int alpha)
{
    gp::GpImageAttributes* made = nullptr;
    if (flat::GdipCreateImageAttributes(&made) != gp::Ok) return nullptr;
    std::unique_ptr<gp::GpImageAttributes, AttributesDispose> attributes(made);
    flat::GdipSetImageAttributesWrapMode(made, gp::WrapModeTileFlipXY, 0, FALSE);
    if (alpha < 255) {
        gp::ColorMatrix matrix{};
        for (int i = 0; i < 5; ++i) matrix.m[i][i] = 1.0f;
        matrix.m[3][3] = static_cast<gp::REAL>(alpha) / 255.0f;
        flat::GdipSetImageAttributesColorMatrix(made, gp::ColorAdjustTypeDefault, TRUE, &matrix, nullptr,
                                                gp::ColorMatrixFlagsDefault);
    }
    return attributes;
}

// The text as UTF-16 for GDI's wide calls.
std::wstring wideText(const std::string& text)
{
    const int size = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX / 2));
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    const int length = MultiByteToWideChar(kJobCodePage, 0, text.data(), size, wide.data(), size);
    wide.resize(static_cast<std::size_t>(std::max(length, 0)));
    return wide;
}

// Graphics on `dc` for a GdiplusSurface: pixels as the unit, smooth edges when
// `smooth`, pixel centres at half-pixel positions (a box from pixel edge to pixel
// edge covers whole pixels), high-quality picture resizing. Null when GDI+ is not
// running or refuses the device context.
gp::GpGraphics* createSurfaceGraphics(HDC dc, bool smooth)
{
    gp::GpGraphics* graphics = nullptr;
    if (!dc || flat::GdipCreateFromHDC(dc, &graphics) != gp::Ok) return nullptr;
    flat::GdipSetPageUnit(graphics, gp::UnitPixel);
    flat::GdipSetSmoothingMode(graphics, smooth ? gp::SmoothingModeAntiAlias : gp::SmoothingModeNone);
    flat::GdipSetPixelOffsetMode(graphics, gp::PixelOffsetModeHalf);
    flat::GdipSetInterpolationMode(graphics, gp::InterpolationModeHighQualityBicubic);
    return graphics;
}

}  // namespace

void GdiplusSurface::beginDrawing(double dotsPerInchX, double dotsPerInchY, int fontDotsPerInch)
{
    pixelsPerMmX_ = dotsPerInchX / 25.4;
    pixelsPerMmY_ = dotsPerInchY / 25.4;
    fontDotsPerInch_ = fontDotsPerInch;
    path_.clear();
}

void GdiplusSurface::endDrawing() { path_.clear(); }

template <typename Draw>
void GdiplusSurface::withGraphics(Draw draw)
{
    gp::GpGraphics* graphics = acquireGraphics();
    if (!graphics) return;
    draw(graphics);
    releaseGraphics(graphics);
}

void GdiplusSurface::setSourceColour(std::uint32_t rgba) { colour_ = rgba; }

void GdiplusSurface::movePathCursor(double x, double y)
{
    cursor_ = {x, y};
    path_.push_back({{cursor_}, false});
}

void GdiplusSurface::addPathLine(double x, double y)
{
    if (path_.empty() || path_.back().closed) path_.push_back({{cursor_}, false});
    cursor_ = {x, y};
    path_.back().points.push_back(cursor_);
}

void GdiplusSurface::addPathBox(double x, double y, double width, double height)
{
    path_.push_back({{{x, y}, {x + width, y}, {x + width, y + height}, {x, y + height}}, true});
}

void GdiplusSurface::fillPath()
{
    std::vector<OutlinePolygon> polygons;
    for (Figure& figure : path_) polygons.push_back(std::move(figure.points));
    path_.clear();
    // Where figures overlap they cancel out (even-odd), as in the Linux desktop's paths.
    fillPolygons(polygons, false);
}

void GdiplusSurface::strokePath(double width)
{
    std::vector<OutlinePolygon> polygons;
    for (const Figure& figure : path_) {
        std::vector<OutlinePolygon> outline = strokeOutline(figure.points, figure.closed, width);
        std::move(outline.begin(), outline.end(), std::back_inserter(polygons));
    }
    path_.clear();
    fillPolygons(polygons, true);
}

void GdiplusSurface::fillPolygons(const std::vector<OutlinePolygon>& polygons, bool nonzeroWinding)
{
    if (alphaOf(colour_) == 0 || polygons.empty()) return;
    withGraphics([&](gp::GpGraphics* graphics) {
        gp::GpPath* made = nullptr;
        if (flat::GdipCreatePath(nonzeroWinding ? gp::FillModeWinding : gp::FillModeAlternate, &made) != gp::Ok) {
            return;
        }
        const std::unique_ptr<gp::GpPath, PathDelete> path(made);
        std::vector<gp::PointF> points;
        for (const OutlinePolygon& polygon : polygons) {
            if (polygon.size() < 3) continue;
            points.clear();
            for (const OutlinePoint& p : polygon) {
                points.emplace_back(deviceReal(p.x * pixelsPerMmX_), deviceReal(p.y * pixelsPerMmY_));
            }
            flat::GdipAddPathPolygon(path.get(), points.data(), static_cast<INT>(points.size()));
        }
        gp::GpSolidFill* brush = nullptr;
        if (flat::GdipCreateSolidFill(argbOf(colour_), &brush) != gp::Ok) return;
        const std::unique_ptr<gp::GpSolidFill, BrushDelete> owned(brush);
        flat::GdipFillPath(graphics, brush, path.get());
    });
}

std::unique_ptr<render::SurfaceFont> GdiplusSurface::loadFont(const std::string& family, int sizePt, bool bold)
{
    LOGFONTA font{};
    if (sizePt > 0) {
        const double pixels = std::round(static_cast<double>(sizePt) * fontDotsPerInch_ / 72.0);
        font.lfHeight = -static_cast<LONG>(std::clamp(pixels, 1.0, static_cast<double>(kMaxFontPixels)));
    }
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::size_t length = std::min(family.find('\0'), std::min<std::size_t>(family.size(), LF_FACESIZE - 1));
    std::memcpy(font.lfFaceName, family.data(), length);
    HFONT handle = CreateFontIndirectA(&font);
    if (!handle) return nullptr;
    return std::make_unique<GdiFont>(handle);
}

void GdiplusSurface::selectVectorFont(const render::SurfaceFont& font)
{
    font_ = static_cast<const GdiFont&>(font).handle;
}

void GdiplusSurface::drawText(const std::string& text)
{
    if (text.empty() || alphaOf(colour_) == 0) return;
    const std::wstring wide = wideText(text);
    if (wide.empty()) return;
    withGraphics([&](gp::GpGraphics* graphics) {
        // GDI draws on the graphics' device context while GDI+ holds back.
        HDC dc = nullptr;
        if (flat::GdipGetDC(graphics, &dc) != gp::Ok || !dc) return;
        const int saved = SaveDC(dc);
        if (font_) SelectObject(dc, static_cast<HFONT>(font_.get()));
        SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(colour_ & 0xFF, (colour_ >> 8) & 0xFF, (colour_ >> 16) & 0xFF));
        TextOutW(dc, deviceInt(cursor_.x * pixelsPerMmX_), deviceInt(cursor_.y * pixelsPerMmY_), wide.data(),
                 static_cast<int>(wide.size()));
        RestoreDC(dc, saved);
        flat::GdipReleaseDC(graphics, dc);
    });
}

std::unique_ptr<render::SurfaceImage> GdiplusSurface::loadImage(const std::string& file)
{
    // The writer's reader and limit: a picture the PDF can embed, the preview reads.
    pdf::ByteBuffer bytes;
    if (pdf::readRegularFile(file, pdf::kMaxImageFileBytes, bytes) != pdf::FileRead::kRead) return nullptr;
    std::optional<GdiplusPixels> pixels = decodePicture(std::span<const std::uint8_t>(bytes.data(), bytes.length()));
    if (!pixels) return nullptr;
    auto image = std::make_unique<GdiplusImage>(std::move(*pixels));
    if (!image->bitmap()) return nullptr;
    return image;
}

void GdiplusSurface::resizeImage(render::SurfaceImage& image, int widthPx, int heightPx)
{
    auto& picture = static_cast<GdiplusImage&>(image);
    if (widthPx <= 0 || heightPx <= 0 || static_cast<std::size_t>(widthPx) * heightPx > kMaxImagePixels ||
        !picture.bitmap() || (widthPx == picture.width() && heightPx == picture.height())) {
        return;
    }
    GdiplusPixels resized{widthPx, heightPx, {}};
    if (!allocatePixels(resized)) return;  // no memory: the picture stays as it is
    gp::GpBitmap* made = nullptr;
    if (flat::GdipCreateBitmapFromScan0(widthPx, heightPx, widthPx * 4, PixelFormat32bppPARGB, resized.bgra.data(),
                                        &made) != gp::Ok) {
        return;
    }
    std::unique_ptr<gp::GpBitmap, ImageDispose> target(made);
    gp::GpGraphics* context = nullptr;
    if (flat::GdipGetImageGraphicsContext(target.get(), &context) != gp::Ok) return;
    std::unique_ptr<gp::GpGraphics, GraphicsDelete> graphics(context);
    flat::GdipSetPageUnit(context, gp::UnitPixel);
    flat::GdipSetCompositingMode(context, gp::CompositingModeSourceCopy);
    flat::GdipSetPixelOffsetMode(context, gp::PixelOffsetModeHalf);
    flat::GdipSetInterpolationMode(context, gp::InterpolationModeHighQualityBicubic);
    const auto attributes = pictureAttributes(255);
    const bool drawn = flat::GdipDrawImageRectRect(context, picture.bitmap(), 0, 0, static_cast<gp::REAL>(widthPx),
                                                   static_cast<gp::REAL>(heightPx), 0, 0,
                                                   static_cast<gp::REAL>(picture.width()),
                                                   static_cast<gp::REAL>(picture.height()), gp::UnitPixel,
                                                   attributes.get(), nullptr, nullptr) == gp::Ok;
    // The resized pixels are in `resized` once the graphics and the bitmap over it are gone.
    graphics.reset();
    if (flat::GdipDisposeImage(target.release()) != gp::Ok || !drawn) return;
    picture.replace(std::move(resized));
}

void GdiplusSurface::drawImage(const render::SurfaceImage& image, int alpha, double width, double height)
{
    const auto& picture = static_cast<const GdiplusImage&>(image);
    if (alpha <= 0 || !picture.bitmap()) return;
    withGraphics([&](gp::GpGraphics* graphics) {
        gp::REAL x, y, w, h;
        if (width > 0.0 && height > 0.0) {
            x = deviceReal(cursor_.x * pixelsPerMmX_);
            y = deviceReal(cursor_.y * pixelsPerMmY_);
            w = deviceReal(width * pixelsPerMmX_);
            h = deviceReal(height * pixelsPerMmY_);
        } else {
            // Pixel for pixel, from a whole pixel: no resampling blurs it.
            x = static_cast<gp::REAL>(deviceInt(cursor_.x * pixelsPerMmX_));
            y = static_cast<gp::REAL>(deviceInt(cursor_.y * pixelsPerMmY_));
            w = static_cast<gp::REAL>(picture.width());
            h = static_cast<gp::REAL>(picture.height());
        }
        const auto attributes = pictureAttributes(std::min(alpha, 255));
        flat::GdipDrawImageRectRect(graphics, picture.bitmap(), x, y, w, h, 0, 0,
                                    static_cast<gp::REAL>(picture.width()), static_cast<gp::REAL>(picture.height()),
                                    gp::UnitPixel, attributes.get(), nullptr, nullptr);
    });
}

GdiplusCanvasSurface::GdiplusCanvasSurface(HDC canvasDc, int width, int height, int dotsPerInch,
                                           std::function<void()> shown)
    : dc_(canvasDc), width_(width), height_(height), dotsPerInch_(dotsPerInch > 0 ? dotsPerInch : 96),
      shown_(std::move(shown))
{
}

GdiplusCanvasSurface::~GdiplusCanvasSurface()
{
    if (graphics_) flat::GdipDeleteGraphics(graphics_);
}

void GdiplusCanvasSurface::open()
{
    close();
    graphics_ = createSurfaceGraphics(dc_, true);
    open_ = true;
    beginDrawing(dotsPerInch_, dotsPerInch_, dotsPerInch_);
}

void GdiplusCanvasSurface::close()
{
    if (!open_) return;
    endDrawing();
    if (graphics_) flat::GdipDeleteGraphics(graphics_);
    graphics_ = nullptr;
    open_ = false;
    // GDI's queued calls reach the bitmap before anyone looks at it.
    GdiFlush();
    if (shown_) shown_();
}

double GdiplusCanvasSurface::outputHeight() { return height_ * 25.4 / dotsPerInch_; }

GdiplusPrinterSurface::GdiplusPrinterSurface(Win32PrintJob& job) : job_(job) {}

void GdiplusPrinterSurface::open()
{
    HDC dc = job_.dc();
    open_ = dc != nullptr;
    if (open_) {
        beginDrawing(GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY), GetDeviceCaps(dc, LOGPIXELSY));
    }
}

void GdiplusPrinterSurface::close()
{
    endDrawing();
    open_ = false;
}

double GdiplusPrinterSurface::outputHeight()
{
    HDC dc = job_.dc();
    const int dotsPerInch = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    return dotsPerInch > 0 ? GetDeviceCaps(dc, VERTRES) * 25.4 / dotsPerInch : 0.0;
}

int GdiplusPrinterSurface::canvasWidth() { return job_.dc() ? GetDeviceCaps(job_.dc(), HORZRES) : 0; }

int GdiplusPrinterSurface::canvasHeight() { return job_.dc() ? GetDeviceCaps(job_.dc(), VERTRES) : 0; }

gp::GpGraphics* GdiplusPrinterSurface::acquireGraphics()
{
    // Vector output on paper: the printer's resolution makes edges sharp, and
    // smoothing would turn paths into pictures.
    return open_ && job_.running() ? createSurfaceGraphics(job_.dc(), false) : nullptr;
}

void GdiplusPrinterSurface::releaseGraphics(gp::GpGraphics* graphics) { flat::GdipDeleteGraphics(graphics); }

}  // namespace tabulon::platform
