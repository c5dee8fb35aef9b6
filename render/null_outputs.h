// Outputs that draw nothing: a surface of A4 portrait height and a question box
// that always answers Yes. A preview pass over them moves the renderer's state
// exactly as a preview paged through to its end would, without a screen.
#pragma once

#include "job_renderer.h"
#include "question_box.h"
#include "vector_surface.h"

namespace tabulon::render {

class NullSurface : public VectorSurface {
public:
    void open() override {}
    void close() override {}
    double outputHeight() override { return 297.0; }
    void setSourceColour(std::uint32_t) override {}
    void movePathCursor(double, double) override {}
    void addPathLine(double, double) override {}
    void addPathBox(double, double, double, double) override {}
    void fillPath() override {}
    void strokePath(double) override {}
    std::unique_ptr<SurfaceFont> loadFont(const std::string&, int, bool) override { return nullptr; }
    void selectVectorFont(const SurfaceFont&) override {}
    void drawText(const std::string&) override {}
    int canvasWidth() override { return 0; }
    int canvasHeight() override { return 0; }
    void makeJpegDecoderAvailable() override {}
    std::unique_ptr<SurfaceImage> loadImage(const std::string&) override { return nullptr; }
    void resizeImage(SurfaceImage&, int, int) override {}
    void drawImage(const SurfaceImage&, int, double, double) override {}
};

class YesQuestionBox : public QuestionBox {
public:
    bool ask(const std::string&, const std::string&) override { return true; }
};

// Pages the preview through to its end with Yes at every question, drawing
// nothing: the renderer's font family and colour slots are then what a PDF export
// after a full preview starts from. Only the state moves, so nothing is drawn
// even on the null canvas.
inline void previewEveryPage(JobRenderer& renderer, const JobState& job)
{
    renderer.followPreview(job, NullSurface().outputHeight());
}

}  // namespace tabulon::render
