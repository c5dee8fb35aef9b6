// VectorSurface: the drawing operations the renderer uses on the preview canvas and
// on the printer. Every position, length and stroke width is in millimetres from
// the output's top-left corner (x to the right, y down); font sizes are points.
// One source colour, a packed RGBA value (red in the lowest byte, alpha in the
// highest), is used by fills, strokes and text. Filling or stroking the current
// path draws it and then clears it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tabulon::render {

// A font loaded by a surface; released when the pointer goes.
class SurfaceFont {
public:
    virtual ~SurfaceFont() = default;
};

// A picture loaded by a surface; released when the pointer goes.
class SurfaceImage {
public:
    virtual ~SurfaceImage() = default;
    // Its width times its height, for the renderer's count of what it keeps.
    virtual std::int64_t pixelCount() const = 0;
};

class VectorSurface {
public:
    virtual ~VectorSurface() = default;

    // Starts drawing on the output in millimetres; close() makes what was drawn
    // visible (canvas) or releases the drawing state (printer).
    virtual void open() = 0;
    virtual void close() = 0;
    virtual double outputHeight() = 0;

    virtual void setSourceColour(std::uint32_t rgba) = 0;
    virtual void movePathCursor(double x, double y) = 0;
    virtual void addPathLine(double x, double y) = 0;
    virtual void addPathBox(double x, double y, double width, double height) = 0;
    virtual void fillPath() = 0;
    virtual void strokePath(double width) = 0;

    // A font of `family` at `sizePt` whole points, bold (700) or regular (400).
    virtual std::unique_ptr<SurfaceFont> loadFont(const std::string& family, int sizePt, bool bold) = 0;
    virtual void selectVectorFont(const SurfaceFont& font) = 0;
    // Draws Windows-1252 text with the top-left corner of its line box at the cursor.
    virtual void drawText(const std::string& text) = 0;

    // Canvas size in pixels (the preview clears its page with it).
    virtual int canvasWidth() = 0;
    virtual int canvasHeight() = 0;

    virtual void makeJpegDecoderAvailable() = 0;
    // The picture in `file`, or null when it cannot be read or decoded.
    virtual std::unique_ptr<SurfaceImage> loadImage(const std::string& file) = 0;
    virtual void resizeImage(SurfaceImage& image, int widthPx, int heightPx) = 0;
    // Draws with the top-left corner at the cursor, stretched to width x height mm.
    virtual void drawImage(const SurfaceImage& image, int alpha, double width, double height) = 0;
};

}  // namespace tabulon::render
