// Fonts for the font tests: a font source that serves fixed files, and a builder of
// small TrueType files whose every table value the test chooses.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "font_source.h"

namespace tabulon::test {

std::vector<std::uint8_t> readBinaryFile(const std::string& path);

// Serves one file under one face name for every family and style; counts calls.
class FixedFontSource : public pdf::FontSource {
public:
    FixedFontSource(std::string faceName, std::vector<std::uint8_t> data)
        : faceName_(std::move(faceName)), data_(std::move(data))
    {
    }
    std::optional<pdf::SystemFont> findFont(std::string_view family, std::int32_t styleFlags) override
    {
        lastFamily = family;
        lastStyleFlags = styleFlags;
        ++calls;
        return pdf::SystemFont{faceName_, data_};
    }
    std::string lastFamily;
    std::int32_t lastStyleFlags = -1;
    int calls = 0;

private:
    std::string faceName_;
    std::vector<std::uint8_t> data_;
};

// A source that has no fonts at all.
class EmptyFontSource : public pdf::FontSource {
public:
    std::optional<pdf::SystemFont> findFont(std::string_view, std::int32_t) override { return std::nullopt; }
};

struct CmapSubtable {
    std::uint16_t platform = 3;
    std::uint16_t encoding = 1;
    std::vector<std::uint8_t> bytes;
};

// Format 4 subtable mapping each code to its glyph. Codes in `rangeCodes` are put in
// one segment that reads its glyphs through idRangeOffset; the others get one
// idDelta segment each.
std::vector<std::uint8_t> cmapFormat4(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& deltaCodes,
                                      const std::vector<std::pair<std::uint16_t, std::uint16_t>>& rangeCodes = {});
// Format 0 subtable: glyphs[i] for code i (up to 256 entries).
std::vector<std::uint8_t> cmapFormat0(const std::vector<std::uint8_t>& glyphs);

struct SyntheticFont {
    std::uint16_t unitsPerEm = 1000;
    std::int16_t bbox[4] = {-50, -200, 1000, 900};
    std::int16_t ascent = 800;
    std::int16_t descent = -200;
    std::int16_t indexToLocFormat = 0;
    std::uint16_t glyphCount = 4;
    std::vector<std::uint16_t> advances = {500, 600, 700, 800};  // hMetrics; count = numberOfHMetrics
    std::int16_t italicAngle = 0;
    std::uint16_t italicFraction = 0;
    std::string macSubfamily = "Regular";
    std::string windowsSubfamily = "Regular";
    bool withPost = true;
    std::vector<CmapSubtable> cmaps;
};

std::vector<std::uint8_t> buildFont(const SyntheticFont& font);

}  // namespace tabulon::test
