#include "surface_pass.h"

#include <memory>

#include "rounding.h"

namespace tabulon::render {

namespace {

constexpr std::uint32_t kOpaqueWhite = 0xFFFFFFFFu;
constexpr int kOpaque = 255;

double tenthsOfMm(std::int32_t value) { return static_cast<double>(value) * 0.1; }

// A picture is resized for the preview only to at most as many pixels as the
// canvas holds. A larger one cannot be seen whole anyway, and one job line could
// otherwise ask for gigabytes (20,000 mm square is 3 billion pixels); it is drawn
// stretched from its decoded pixels instead, which needs no copy of them.
bool fitsOnCanvas(VectorSurface& canvas, std::int32_t widthPx, std::int32_t heightPx)
{
    const auto canvasPixels = static_cast<std::int64_t>(canvas.canvasWidth()) * canvas.canvasHeight();
    return widthPx > 0 && heightPx > 0 && static_cast<std::int64_t>(widthPx) * heightPx <= canvasPixels;
}

}  // namespace

double SurfacePass::at(std::int32_t value) const
{
    return scaled_ ? static_cast<double>(static_cast<float>(value) * scale_) : static_cast<double>(value);
}

double SurfacePass::at(float value) const { return static_cast<double>(scaled_ ? value * scale_ : value); }

void SurfacePass::drawText(const TextFields& fields, std::string_view text, const RendererState& state)
{
    std::int32_t size = readInteger(fields.size);
    if (scaled_) size = roundHalfEven(static_cast<float>(size) * scale_);
    // The font lives for this line only.
    std::unique_ptr<SurfaceFont> font = surface_.loadFont(state.fontName, size, isBoldStyle(fields.style));
    surface_.setSourceColour(state.textColour.rgba);
    if (font) surface_.selectVectorFont(*font);
    surface_.movePathCursor(at(readInteger(fields.x)), at(readInteger(fields.y)));
    surface_.drawText(std::string(text));
}

void SurfacePass::drawPicture(const PictureFields& fields)
{
    surface_.makeJpegDecoderAvailable();
    std::int32_t w = readInteger(fields.width);
    std::int32_t h = readInteger(fields.height);
    // The printer gets the picture at its full resolution, stretched to its place.
    double width = at(w), height = at(h);
    // The pixel size the picture is resized to; 0 x 0 keeps it as loaded.
    std::int32_t wPx = 0, hPx = 0;
    if (scaled_) {
        // On the preview a page millimetre is pixelsPerMm_ screen pixels, so the
        // picture is resized once, straight to the pixels its w x h millimetres
        // cover, and drawn at that pixel size (width and height 0). Resizing it to
        // the canvas scale first and stretching it back would resample it twice
        // and blur it.
        wPx = roundHalfEven(static_cast<float>(w) * pixelsPerMm_);
        hPx = roundHalfEven(static_cast<float>(h) * pixelsPerMm_);
        if (fitsOnCanvas(surface_, wPx, hPx)) {
            width = height = 0.0;
        } else {
            wPx = hPx = 0;
        }
    }
    const SurfaceImage* image = pictures_.find(fields.file, wPx, hPx, [&] {
        std::unique_ptr<SurfaceImage> loaded = surface_.loadImage(std::string(fields.file));
        if (loaded && wPx > 0) surface_.resizeImage(*loaded, wPx, hPx);
        return loaded;
    });
    if (!image) return;
    surface_.movePathCursor(at(readInteger(fields.x)), at(readInteger(fields.y)));
    surface_.drawImage(*image, kOpaque, width, height);
}

void SurfacePass::drawStraightLine(const LineFields& fields, const RendererState& state)
{
    surface_.movePathCursor(at(readDecimal(fields.x1)), at(readDecimal(fields.y1)));
    surface_.addPathLine(at(readDecimal(fields.x2)), at(readDecimal(fields.y2)));
    surface_.setSourceColour(state.lineColour.rgba);
    // Line widths are not scaled: a 0.5 mm line stays 0.5 mm on the canvas.
    surface_.strokePath(tenthsOfMm(readInteger(fields.width)));
}

void SurfacePass::drawBox(const BoxFields& fields, const RendererState& state)
{
    surface_.addPathBox(at(readInteger(fields.x)), at(readInteger(fields.y)), at(readInteger(fields.width)),
                        at(readInteger(fields.height)));
    surface_.setSourceColour(state.boxColour.rgba);
    // Filling consumes the path, so a filled box gets no outline.
    if (isFillFlag(fields.fill)) surface_.fillPath();
    surface_.strokePath(tenthsOfMm(readInteger(fields.outlineWidth)));
}

PreviewPass::PreviewPass(VectorSurface& canvas, QuestionBox& question, float pixelsPerMm,
                         const std::string& orientationCode, RendererState& state)
    : SurfacePass(canvas, true), question_(question), orientationCode_(orientationCode), state_(state)
{
    pixelsPerMm_ = pixelsPerMm;
}

float previewScaleFor(const std::string& orientationCode, double outputHeight)
{
    return static_cast<float>(orientationCode == "P" ? outputHeight / 297.0 : outputHeight / 210.0);
}

bool PreviewPass::begin()
{
    surface_.open();
    state_.previewScale = previewScaleFor(orientationCode_, surface_.outputHeight());
    scale_ = state_.previewScale;
    return true;
}

bool PreviewPass::draw(const JobLine& line, const RendererState& state) { return drawJobLine(line, state, *this); }

bool PreviewPass::endPage()
{
    surface_.close();
    bool next = question_.ask(kNextPageCaption, kNextPageText);
    surface_.open();
    if (!next) return false;
    // A box larger than the canvas (its pixel size taken as millimetres) cleans
    // the page for the next one.
    surface_.addPathBox(0, 0, surface_.canvasWidth(), surface_.canvasHeight());
    surface_.setSourceColour(kOpaqueWhite);
    surface_.fillPath();
    return true;
}

void PreviewPass::end() { surface_.close(); }

bool PrinterPass::begin()
{
    if (!job_.choosePrinter()) return false;
    // A job that could not start prints nothing; the lines are still read.
    started_ = job_.start(kPrintJobName);
    if (started_) surface_.open();
    return true;
}

bool PrinterPass::draw(const JobLine& line, const RendererState& state)
{
    return !started_ || drawJobLine(line, state, *this);
}

bool PrinterPass::endPage()
{
    job_.newPage();
    return true;
}

void PrinterPass::end()
{
    if (!started_) return;
    surface_.close();
    job_.end();
}

}  // namespace tabulon::render
