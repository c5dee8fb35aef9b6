// Where the writer finds the fonts of families that are not standard PDF fonts.
// The platform layer supplies one over the system's fonts; tests supply fixed files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabulon::pdf {

struct SystemFont {
    std::string faceName;               // the family the system matched
    std::vector<std::uint8_t> fileData;  // the whole font file
};

class FontSource {
public:
    virtual ~FontSource() = default;
    // The installed font for `family` in the style given by `styleFlags`
    // (256 bold, 512 italic, 4 underline), or nothing when the system has none.
    virtual std::optional<SystemFont> findFont(std::string_view family, std::int32_t styleFlags) = 0;
};

}  // namespace tabulon::pdf
