// Test outputs that draw nothing: a surface of A4 portrait height and a question
// box that always answers Yes. A preview pass over them moves the renderer's
// state exactly as a preview paged through to its end would, without a screen.
#pragma once

#include "job_renderer.h"
#include "question_box.h"
#include "vector_surface.h"

namespace tabulon::render {

class NullSurface : public VectorSurface {
public:
    void open() override {}
    void close() override {}
    double outputHeight() override { return kScreenlessCanvasHeightMm; }
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

}  // namespace tabulon::render
