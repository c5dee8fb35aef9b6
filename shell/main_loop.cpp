#include "main_loop.h"

#include "key_table.h"
#include "preview_geometry.h"

namespace tabulon::shell {

namespace {

bool handleGadget(const PlatformEvent& event, const RenderPass& renderJob)
{
    if (event.gadget == kExitButton) {
        return true;  // whatever the subtype
    }
    if (event.subtype != 0) {
        return false;
    }
    if (event.gadget == kPrintButton) {
        renderJob(render::RenderTarget::Printer);
    } else if (event.gadget == kPdfButton) {
        renderJob(render::RenderTarget::Pdf);
    }
    return false;  // the canvas and unknown gadgets do nothing
}

}  // namespace

bool handleEvent(const PlatformEvent& event, EventSource& events, const RenderPass& renderJob)
{
    switch (event.kind) {
    case EventKind::KeyDown:
        if (auto gadget = gadgetForKeyNumber(keyNumber(event.virtualKey))) {
            events.postGadgetEvent(kPreviewWindow, *gadget, 0);
        }
        return false;
    case EventKind::Gadget:
        return handleGadget(event, renderJob);
    case EventKind::Close:
        if (event.window != kPreviewWindow) {
            return false;
        }
        events.closeWindow(kPreviewWindow);
        return true;
    case EventKind::Other:
        break;
    }
    return false;
}

void runEventLoop(EventSource& events, const RenderPass& renderJob)
{
    while (!handleEvent(events.waitEvent(), events, renderJob)) {
    }
}

}  // namespace tabulon::shell
