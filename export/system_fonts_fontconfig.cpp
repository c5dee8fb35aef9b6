#include "fontconfig_font_source.h"
#include "system_fonts.h"

namespace tabulon::exporter {

std::unique_ptr<pdf::FontSource> makeSystemFontSource()
{
    return std::make_unique<platform::FontconfigFontSource>();
}

}  // namespace tabulon::exporter
