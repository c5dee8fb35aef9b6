// The font source tabulon-export hands to the writer: the system's fonts where
// the build has a platform font layer, otherwise none (families that are not
// standard PDF fonts then fall back to Helvetica).
#pragma once

#include <memory>

#include "font_source.h"

namespace tabulon::exporter {

std::unique_ptr<pdf::FontSource> makeSystemFontSource();

}  // namespace tabulon::exporter
