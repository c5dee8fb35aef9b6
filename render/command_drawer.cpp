#include "command_drawer.h"

namespace tabulon::render {

bool drawJobLine(const JobLine& line, const RendererState& state, CommandDrawer& drawer)
{
    switch (line.command) {
    case JobCommand::Text: drawer.drawText(line.text(), line.freeText, state); break;
    case JobCommand::Picture: drawer.drawPicture(line.picture()); break;
    case JobCommand::Line: drawer.drawStraightLine(line.line(), state); break;
    case JobCommand::Box: drawer.drawBox(line.box(), state); break;
    case JobCommand::EndOfPage: return drawer.endPage();
    case JobCommand::None: break;
    }
    return true;
}

}  // namespace tabulon::render
