#include "job_renderer.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "resident_memory.h"
#include "surface_pass.h"

namespace tabulon::render {

namespace {

// What a line's letters set: a colour slot (a recognised colour letter of "txt",
// "line" or "box") and the font family (a recognised font letter of "txt").
struct LetterEffects {
    ColourSlot RendererState::*slot = nullptr;
    ColourSlot colour;
    std::optional<std::string_view> family;
};

LetterEffects effectsOf(const JobLine& line)
{
    LetterEffects effects;
    std::optional<ColourSlot> colour;
    switch (line.command) {
    case JobCommand::Text: {
        const TextFields fields = line.text();
        colour = colourForLetter(fields.colourLetter);
        effects.slot = &RendererState::textColour;
        effects.family = familyForLetter(fields.fontLetter);
        break;
    }
    case JobCommand::Line:
        colour = colourForLetter(line.line().colourLetter);
        effects.slot = &RendererState::lineColour;
        break;
    case JobCommand::Box:
        colour = colourForLetter(line.box().colourLetter);
        effects.slot = &RendererState::boxColour;
        break;
    default:
        break;
    }
    if (colour) {
        effects.colour = *colour;
    } else {
        effects.slot = nullptr;
    }
    return effects;
}

// Colour letters and the font letter take effect on every target, before drawing.
void updateState(RendererState& state, const JobLine& line)
{
    LetterEffects effects = effectsOf(line);
    if (effects.slot) state.*effects.slot = effects.colour;
    if (effects.family) state.fontName = *effects.family;
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

void previewEveryPage(JobRenderer& renderer, const JobState& job)
{
    renderer.followPreview(job, kScreenlessCanvasHeightMm);
}

void JobRenderer::followPreview(const JobState& job, double canvasHeight)
{
    state_.previewScale = previewScaleFor(job.orientationCode, canvasHeight);
    // The family and each colour slot end with what the last line setting them
    // gave, so the lines are read from the end until all four are known.
    bool familyKnown = false;
    std::vector<ColourSlot RendererState::*> slotsKnown;
    JobLineReverseCursor cursor = job.linesFromEnd();
    std::string_view text;
    JobLine line;
    while ((!familyKnown || slotsKnown.size() < 3) && cursor.next(text)) {
        splitJobLine(text, line);
        LetterEffects effects = effectsOf(line);
        if (effects.slot && std::find(slotsKnown.begin(), slotsKnown.end(), effects.slot) == slotsKnown.end()) {
            state_.*effects.slot = effects.colour;
            slotsKnown.push_back(effects.slot);
        }
        if (effects.family && !familyKnown) {
            state_.fontName = *effects.family;
            familyKnown = true;
        }
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
