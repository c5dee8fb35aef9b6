// What the renderer keeps from one pass to the next, whatever the target: the
// font family and the three colour slots carry over, so a print or PDF pass
// starts with the values the preview pass ended with.
#pragma once

#include <string>

#include "job_format.h"

namespace tabulon::render {

struct RendererState {
    // Canvas millimetres per page millimetre; set at the start of a preview pass.
    float previewScale = 0.0f;
    // Family of "txt" lines, set by the font letters; empty before the first one.
    std::string fontName;
    ColourSlot textColour;
    ColourSlot lineColour;
    ColourSlot boxColour;
};

}  // namespace tabulon::render
