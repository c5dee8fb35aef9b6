// What the job session needs from the desktop's toolkit: the outputs of a
// preview or printer pass, a message box and the PDF viewer. The desktop
// platform implements it with its toolkit; the tests fake it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "job_renderer.h"

namespace tabulon::shell {

// The outputs of one preview or printer pass, made for that pass and released
// after it, so that no surface, question box or print job outlives its pass.
class PassOutputs {
public:
    virtual ~PassOutputs() = default;
    // The outputs of the pass's target; an output the platform cannot make is
    // null, and the pass then draws nothing. The preview's pixels per
    // millimetre are the session's to set.
    virtual render::RenderOutputs renderOutputs() = 0;
};

// The outputs of a preview pass made of a toolkit's surface and question box:
// the question box over the preview window, and the canvas's surface, which the
// platform makes once its canvas exists (without one, the pass draws nothing).
template <typename Surface, typename Question>
class PreviewPassOutputs : public PassOutputs {
public:
    template <typename Owner>
    explicit PreviewPassOutputs(Owner&& questionOwner) : question_(std::forward<Owner>(questionOwner))
    {
    }
    std::optional<Surface>& surface() { return surface_; }

    render::RenderOutputs renderOutputs() override
    {
        render::RenderOutputs outputs;
        outputs.canvas = surface_ ? &*surface_ : nullptr;
        outputs.questionBox = &question_;
        return outputs;
    }

private:
    std::optional<Surface> surface_;
    Question question_;
};

// The outputs of a printer pass made of a toolkit's print job (its dialog over
// `dialogOwner`) and the surface on its sheets (the job and `surfaceArguments`).
template <typename Job, typename Surface>
class PrinterPassOutputs : public PassOutputs {
public:
    template <typename Owner, typename... SurfaceArguments>
    explicit PrinterPassOutputs(Owner&& dialogOwner, SurfaceArguments&&... surfaceArguments)
        : job_(std::forward<Owner>(dialogOwner)), surface_(job_, std::forward<SurfaceArguments>(surfaceArguments)...)
    {
    }

    render::RenderOutputs renderOutputs() override
    {
        render::RenderOutputs outputs;
        outputs.printJob = &job_;
        outputs.printerSurface = &surface_;
        return outputs;
    }

private:
    Job job_;
    Surface surface_;
};

// Why the PDF viewer could not be started.
struct ViewerFailure {
    std::string viewer;  // the program that was tried, as a message names it
    std::string reason;  // the system's words for what went wrong
};

class SessionPlatform {
public:
    virtual ~SessionPlatform() = default;
    // The page canvas's surface and the question box over the preview window.
    // Never null.
    virtual std::unique_ptr<PassOutputs> openPreviewOutputs() = 0;
    // A print job, with the printer dialog over the preview window, and the
    // surface drawing on its sheets. Never null.
    virtual std::unique_ptr<PassOutputs> openPrinterOutputs() = 0;
    // A modal message with an OK button over the preview window.
    virtual void showMessage(const std::string& caption, const std::string& text) = 0;
    // Starts the PDF viewer on `fileName` without waiting for it. Nothing when
    // it runs; which viewer could not be started and why when it does not.
    virtual std::optional<ViewerFailure> startPdfViewer(const std::string& fileName) = 0;
};

}  // namespace tabulon::shell
