// The font source the programs hand to the writer: the system's fonts, through
// this platform's font layer (fontconfig on Linux, GDI on Windows).
#pragma once

#include <memory>

#include "font_source.h"

namespace tabulon::platform {

std::unique_ptr<pdf::FontSource> makeSystemFontSource();

}  // namespace tabulon::platform
