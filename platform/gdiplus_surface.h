// VectorSurface over GDI+ and GDI, in millimetres. Every length is turned into
// device pixels here (the graphics draw in pixels, with no transform of their
// own), so paths, text and pictures share one placement on the canvas and on
// paper. Fills and pictures go through GDI+; strokes are filled outlines (see
// gdiplus_stroke_outline.h); text is GDI's, in the font the job asked for at the
// device's own resolution. Subclasses say what is drawn on: the canvas's memory
// device context, or the sheets of the running print job.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gdiplus_stroke_outline.h"
#include "vector_surface.h"
#include "win32_print_job.h"

namespace Gdiplus {
class GpGraphics;
}

namespace tabulon::platform {

class GdiplusSurface : public render::VectorSurface {
public:
    void setSourceColour(std::uint32_t rgba) override;
    void movePathCursor(double x, double y) override;
    void addPathLine(double x, double y) override;
    void addPathBox(double x, double y, double width, double height) override;
    void fillPath() override;
    // A width of 0 or less draws nothing (and still clears the path).
    void strokePath(double width) override;

    // A family longer than GDI's face names (31 bytes) is cut to that length; an
    // empty one leaves the choice to the system. A size of 0 or less is the
    // system's default size; no font is made taller than 16384 device pixels.
    std::unique_ptr<render::SurfaceFont> loadFont(const std::string& family, int sizePt, bool bold) override;
    void selectVectorFont(const render::SurfaceFont& font) override;
    // The text is read as Windows-1252 whatever the system's ANSI code page, as
    // the PDF reads it. It is drawn opaque in the source colour's red, green and
    // blue, on no background; an alpha of 0 draws nothing.
    void drawText(const std::string& text) override;

    void makeJpegDecoderAvailable() override {}
    // JPEG and PNG of up to kMaxImagePixels pixels, read with the writer's reader and limit.
    std::unique_ptr<render::SurfaceImage> loadImage(const std::string& file) override;
    // Resizes once, with high-quality interpolation; a size of 0 or less, or one
    // of more than kMaxImagePixels pixels, leaves the picture as it is.
    void resizeImage(render::SurfaceImage& image, int widthPx, int heightPx) override;
    // With a width or height of 0 or less, the picture is drawn at its own pixel
    // size from the whole device pixel nearest the cursor.
    void drawImage(const render::SurfaceImage& image, int alpha, double width, double height) override;

protected:
    GdiplusSurface() = default;

    // Called by open(): lengths become device pixels at these resolutions, and
    // fonts are made for `fontDotsPerInch`.
    void beginDrawing(double dotsPerInchX, double dotsPerInchY, int fontDotsPerInch);
    void endDrawing();

    // The graphics one drawing operation draws with, null when there is nothing
    // to draw on; each one acquired is handed back with releaseGraphics().
    virtual Gdiplus::GpGraphics* acquireGraphics() = 0;
    virtual void releaseGraphics(Gdiplus::GpGraphics* graphics) = 0;

private:
    struct Figure {
        std::vector<OutlinePoint> points;  // millimetres
        bool closed = false;
    };

    // Runs `draw` with acquired graphics, when there are any.
    template <typename Draw>
    void withGraphics(Draw draw);
    // Fills the polygons, given in millimetres, with the source colour.
    void fillPolygons(const std::vector<OutlinePolygon>& polygons, bool nonzeroWinding);

    double pixelsPerMmX_ = 1.0;
    double pixelsPerMmY_ = 1.0;
    int fontDotsPerInch_ = 96;
    std::vector<Figure> path_;
    OutlinePoint cursor_;
    std::uint32_t colour_ = 0;
    std::shared_ptr<void> font_;  // the selected HFONT, kept while selected
};

// VectorSurface on the page canvas: draws into the memory device context `canvasDc` that holds a
// `width` x `height` pixel bitmap (the canvas window paints from it), in millimetres at `dotsPerInch`
// (the screen's LOGPIXELSY). `shown` runs at every close(), when what was drawn is to become visible.
class GdiplusCanvasSurface : public GdiplusSurface {
public:
    GdiplusCanvasSurface(HDC canvasDc, int width, int height, int dotsPerInch, std::function<void()> shown);
    ~GdiplusCanvasSurface() override;
    GdiplusCanvasSurface(const GdiplusCanvasSurface&) = delete;
    GdiplusCanvasSurface& operator=(const GdiplusCanvasSurface&) = delete;

    void open() override;
    // Everything drawn is in the bitmap before `shown` runs.
    void close() override;
    double outputHeight() override;
    int canvasWidth() override { return width_; }
    int canvasHeight() override { return height_; }

protected:
    Gdiplus::GpGraphics* acquireGraphics() override { return graphics_; }
    void releaseGraphics(Gdiplus::GpGraphics*) override {}

private:
    HDC dc_;
    int width_;
    int height_;
    int dotsPerInch_;
    std::function<void()> shown_;
    Gdiplus::GpGraphics* graphics_ = nullptr;
    bool open_ = false;
};

// VectorSurface on the sheets of a running Win32PrintJob: millimetres from the top-left corner of the
// printable area; the output is the printable area (HORZRES x VERTRES pixels, HORZSIZE x VERTSIZE
// millimetres). Each drawing operation has graphics of its own on the printer's device context, so that
// none outlives its sheet; nothing is drawn while no job runs.
class GdiplusPrinterSurface : public GdiplusSurface {
public:
    explicit GdiplusPrinterSurface(Win32PrintJob& job);

    void open() override;
    void close() override;
    // The printable area's height, VERTRES pixels at LOGPIXELSY: the millimetres
    // VERTSIZE gives, without its rounding to whole millimetres.
    double outputHeight() override;
    int canvasWidth() override;
    int canvasHeight() override;
    // Pictures keep their full resolution on paper; drawImage stretches them.
    void resizeImage(render::SurfaceImage&, int, int) override {}

protected:
    Gdiplus::GpGraphics* acquireGraphics() override;
    void releaseGraphics(Gdiplus::GpGraphics* graphics) override;

private:
    Win32PrintJob& job_;
    bool open_ = false;
};

}  // namespace tabulon::platform
