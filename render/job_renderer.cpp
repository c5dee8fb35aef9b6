#include "job_renderer.h"

#include <memory>

#include "resident_memory.h"
#include "surface_pass.h"

namespace tabulon::render {

namespace {

// Colour letters and the font letter take effect on every target, before drawing.
void updateState(RendererState& state, const JobLine& line)
{
    std::string_view command = line.commandWord();
    if (command == "txt") {
        applyColourLetter(state.textColour, line.field(7));
        if (auto family = familyForLetter(line.field(2))) state.fontName = *family;
    } else if (command == "line") {
        applyColourLetter(state.lineColour, line.field(6));
    } else if (command == "box") {
        applyColourLetter(state.boxColour, line.field(6));
    }
}

class PdfPass : public Pass {
public:
    PdfPass(PdfExport& pdf, const JobState& job) : pdf_(pdf), job_(job) {}
    bool begin() override
    {
        pdf_.start(job_);
        return true;
    }
    bool draw(const JobLine& line, const RendererState& state) override
    {
        pdf_.drawLine(line, state);
        return true;
    }
    void end() override { pdf_.finish(); }

private:
    PdfExport& pdf_;
    const JobState& job_;
};

std::unique_ptr<Pass> passFor(RenderTarget target, const RenderOutputs& outputs, const JobState& job,
                              RendererState& state)
{
    switch (target) {
    case RenderTarget::Preview:
        if (outputs.canvas && outputs.questionBox) {
            return std::make_unique<PreviewPass>(*outputs.canvas, *outputs.questionBox, outputs.previewPixelsPerMm,
                                                 job.orientationCode, state);
        }
        break;
    case RenderTarget::Printer:
        if (outputs.printJob && outputs.printerSurface) {
            return std::make_unique<PrinterPass>(*outputs.printJob, *outputs.printerSurface);
        }
        break;
    case RenderTarget::Pdf:
        if (outputs.pdfExport) return std::make_unique<PdfPass>(*outputs.pdfExport, job);
        break;
    }
    return std::make_unique<Pass>();
}

}  // namespace

void JobRenderer::renderJob(const JobState& job, RenderTarget target, const RenderOutputs& outputs)
{
    walkLines(job, target, outputs, nullptr);
}

void JobRenderer::renderJob(JobState&& job, RenderTarget target, const RenderOutputs& outputs)
{
    walkLines(job, target, outputs, job.text.data() + job.lineStart);
    job = JobState();
}

void JobRenderer::followPreview(const JobState& job, double canvasHeight)
{
    state_.previewScale = previewScaleFor(job.orientationCode, canvasHeight);
    JobLineCursor cursor = job.lines();
    std::string_view text;
    JobLine line;
    while (cursor.next(text)) {
        splitJobLine(text, line);
        updateState(state_, line);
    }
}

// Walks every job line through the target's pass. With `discardable` set (the
// start of the line text), the text behind the walk is handed back every few
// megabytes.
void JobRenderer::walkLines(const JobState& job, RenderTarget target, const RenderOutputs& outputs,
                            char* discardable)
{
    constexpr std::size_t kDiscardEvery = 1u << 20;
    std::unique_ptr<Pass> pass = passFor(target, outputs, job, state_);
    if (!pass->begin()) return;
    JobLineCursor cursor = job.lines();
    std::size_t discarded = 0;
    std::string_view text;
    JobLine line;
    while (cursor.next(text)) {
        splitJobLine(text, line);
        updateState(state_, line);
        if (!pass->draw(line, state_)) break;
        if (discardable && cursor.consumed() - discarded >= kDiscardEvery) {
            discardWholePages(discardable + discarded, discardable + cursor.consumed());
            discarded = cursor.consumed();
        }
    }
    pass->end();
}

}  // namespace tabulon::render
