// A FontSource over GDI: the installed font file for a family and style.
#pragma once

#include "font_source.h"

namespace tabulon::platform {

class GdiFontSource : public pdf::FontSource {
public:
    // Asks GDI for the family with bold weight (flag 256) and italic (flag 512),
    // as the font mapper sees them (it may give a related face), and returns the
    // face GDI chose with its whole file, when that is a single TrueType font (sfnt
    // version 1.0, not a collection). Nothing otherwise, or when the file cannot
    // be read.
    std::optional<pdf::SystemFont> findFont(std::string_view family, std::int32_t styleFlags) override;
};

}  // namespace tabulon::platform
