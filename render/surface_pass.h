// The passes that draw on a VectorSurface: the preview on the page canvas and
// the printer on its sheets. Internal to the renderer.
#pragma once

#include <string>

#include "command_drawer.h"
#include "job_format.h"
#include "print_job.h"
#include "question_box.h"
#include "renderer_state.h"
#include "surface_pictures.h"
#include "vector_surface.h"

namespace tabulon::render {

// One pass over one target. begin() false ends the pass before any line is
// read; draw() false ends it after that line. The base draws nothing.
class Pass {
public:
    virtual ~Pass() = default;
    virtual bool begin() { return true; }
    virtual bool draw(const JobLine&, const RendererState&) { return true; }
    virtual void end() {}
};

// Drawing shared by the preview and the printer. The preview scales page
// millimetres to canvas millimetres by S in single precision; the printer draws
// at the page's own size and takes whole numbers as they are. Each pass says
// what an end of page does.
class SurfacePass : public Pass, protected CommandDrawer {
protected:
    SurfacePass(VectorSurface& surface, bool scaled) : surface_(surface), scaled_(scaled) {}

    double at(std::int32_t value) const;
    double at(float value) const;

    VectorSurface& surface_;
    bool scaled_;
    float scale_ = 1.0f;
    float pixelsPerMm_ = 0.0f;

private:
    // Pictures are prepared once per pass and size, and released with the pass.
    SurfacePictures pictures_;

    void drawText(const TextFields& fields, std::string_view text, const RendererState& state) override;
    void drawPicture(const PictureFields& fields) override;
    void drawStraightLine(const LineFields& fields, const RendererState& state) override;
    void drawBox(const BoxFields& fields, const RendererState& state) override;
};

// Canvas millimetres per page millimetre for a canvas `outputHeight` high: the
// page's height is 297 mm for "P" and 210 mm for every other orientation code.
float previewScaleFor(const std::string& orientationCode, double outputHeight);

class PreviewPass : public SurfacePass {
public:
    PreviewPass(VectorSurface& canvas, QuestionBox& question, float pixelsPerMm, const std::string& orientationCode,
                RendererState& state);
    bool begin() override;
    bool draw(const JobLine& line, const RendererState& state) override;
    void end() override;

private:
    bool endPage() override;

    QuestionBox& question_;
    const std::string& orientationCode_;
    RendererState& state_;
};

class PrinterPass : public SurfacePass {
public:
    PrinterPass(PrintJob& job, VectorSurface& sheets) : SurfacePass(sheets, false), job_(job) {}
    bool begin() override;
    bool draw(const JobLine& line, const RendererState& state) override;
    void end() override;

private:
    bool endPage() override;

    PrintJob& job_;
    bool started_ = false;
};

}  // namespace tabulon::render
