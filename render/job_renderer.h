// The job renderer: renderJob() walks the job lines once and draws every
// command on the chosen target. The same parsing runs for every target; only
// the drawing differs. Its state (font family, colour slots, preview scale)
// lives as long as the renderer and is not reset between passes.
#pragma once

#include "job_state.h"
#include "pdf_export.h"
#include "print_job.h"
#include "question_box.h"
#include "render_target.h"
#include "renderer_state.h"
#include "vector_surface.h"

namespace tabulon::render {

// The outputs a pass may draw on; a pass uses only those of its target.
struct RenderOutputs {
    // Preview: the page canvas, its resolution and the question box.
    VectorSurface* canvas = nullptr;
    float previewPixelsPerMm = 0.0f;
    QuestionBox* questionBox = nullptr;
    // Printer: the print job and the surface drawing on its sheets.
    PrintJob* printJob = nullptr;
    VectorSurface* printerSurface = nullptr;
    // Pdf: the export path.
    PdfExport* pdfExport = nullptr;
};

class JobRenderer {
public:
    // Draws the job on `target`. A target whose outputs are missing draws
    // nothing (the lines are still read, so the state moves on as usual).
    void renderJob(const JobState& job, RenderTarget target, const RenderOutputs& outputs);
    // The same for a last pass: the job is used up, its text handed back to the
    // system as the lines are read, so that a large job and the PDF it becomes
    // are not resident at the same time. The job is left empty.
    void renderJob(JobState&& job, RenderTarget target, const RenderOutputs& outputs);

    // Moves the state exactly as a preview pass paged through to its end, with
    // Yes at every question, would on a canvas `canvasHeight` high, reading each
    // line for its effect on the state alone and drawing nothing.
    void followPreview(const JobState& job, double canvasHeight);

    const RendererState& state() const { return state_; }

private:
    void walkLines(const JobState& job, RenderTarget target, const RenderOutputs& outputs, char* discardable);

    RendererState state_;
};

// The height of the canvas a preview without a screen is taken to have: an A4
// page, portrait, at its own size.
inline constexpr double kScreenlessCanvasHeightMm = 297.0;

// Pages the preview through to its end with Yes at every question, drawing
// nothing: the renderer's font family and colour slots are then what a PDF
// export after a full preview starts from.
void previewEveryPage(JobRenderer& renderer, const JobState& job);

}  // namespace tabulon::render
