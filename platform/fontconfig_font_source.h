// A FontSource over fontconfig: the installed font file for a family and style.
#pragma once

#include "font_source.h"

namespace tabulon::platform {

class FontconfigFontSource : public pdf::FontSource {
public:
    // Matches the family with bold weight (flag 256) and italic slant (flag 512),
    // as fontconfig's substitution rules see them ("Courier New" finds a metric
    // compatible face when one is installed). Among the candidates in match order
    // the first single TrueType file (sfnt version 1.0, not a collection) wins;
    // its family is reported as the face name and its whole file is returned.
    // Nothing when fontconfig has no such file or the file cannot be read.
    std::optional<pdf::SystemFont> findFont(std::string_view family, std::int32_t styleFlags) override;
};

}  // namespace tabulon::platform
