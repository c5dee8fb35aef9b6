#include "system_fonts.h"

namespace tabulon::exporter {

std::unique_ptr<pdf::FontSource> makeSystemFontSource() { return nullptr; }

}  // namespace tabulon::exporter
