// The drawing side of a job line: what each command draws on a target. The
// preview, the printer and the PDF export each implement it; drawJobLine is the
// one place where a line's command picks the operation.
#pragma once

#include <string_view>

#include "job_format.h"
#include "renderer_state.h"

namespace tabulon::render {

class CommandDrawer {
public:
    virtual ~CommandDrawer() = default;
    virtual void drawText(const TextFields& fields, std::string_view text, const RendererState& state) = 0;
    virtual void drawPicture(const PictureFields& fields) = 0;
    virtual void drawStraightLine(const LineFields& fields, const RendererState& state) = 0;
    virtual void drawBox(const BoxFields& fields, const RendererState& state) = 0;
    // An end of page. False ends the pass after it.
    virtual bool endPage() = 0;
};

// Draws one job line; a line that is no command draws nothing. False when the
// drawer ended the pass at an end of page.
bool drawJobLine(const JobLine& line, const RendererState& state, CommandDrawer& drawer);

}  // namespace tabulon::render
