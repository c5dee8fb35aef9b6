// The program's one event loop. Keys post the click of their button into the
// same queue, so a key and its button always run the same code, after the events
// that were already waiting. The print and PDF clicks run a renderer pass on
// their target; the exit button, Escape and closing the preview window end it.
#pragma once

#include <functional>

#include "platform_events.h"
#include "render_target.h"

namespace tabulon::shell {

using RenderPass = std::function<void(render::RenderTarget)>;

// What the loop does with one event. True when the loop is to end.
bool handleEvent(const PlatformEvent& event, EventSource& events, const RenderPass& renderJob);

// Waits for and handles events until one of the exits is taken.
void runEventLoop(EventSource& events, const RenderPass& renderJob);

}  // namespace tabulon::shell
