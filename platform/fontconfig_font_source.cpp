#include "fontconfig_font_source.h"
#include "system_fonts.h"

#include <fontconfig/fontconfig.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace tabulon::platform {

namespace {

// Font files larger than this are not read (no single TrueType face comes close).
constexpr std::streamoff kMaxFontFileSize = 64 * 1024 * 1024;

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* set) const { FcFontSetDestroy(set); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;
using FontSetPtr = std::unique_ptr<FcFontSet, FontSetDeleter>;

// The whole file when it is a single TrueType font (sfnt version 1.0).
std::optional<std::vector<std::uint8_t>> readTrueTypeFile(const char* path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return std::nullopt;
    std::streamoff size = file.tellg();
    if (size < 12 || size > kMaxFontFileSize) return std::nullopt;
    file.seekg(0);
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    if (!file.read(reinterpret_cast<char*>(data.data()), size)) return std::nullopt;
    if (data[0] != 0 || data[1] != 1 || data[2] != 0 || data[3] != 0) return std::nullopt;
    return data;
}

PatternPtr requestPattern(std::string_view family, std::int32_t styleFlags)
{
    PatternPtr pattern(FcPatternCreate());
    if (!pattern) return nullptr;
    std::string name(family);
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, (styleFlags & 256) != 0 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, (styleFlags & 512) != 0 ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    if (!FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern)) return nullptr;
    FcDefaultSubstitute(pattern.get());
    return pattern;
}

}  // namespace

std::optional<pdf::SystemFont> FontconfigFontSource::findFont(std::string_view family, std::int32_t styleFlags)
{
    if (!FcInit()) return std::nullopt;
    PatternPtr pattern = requestPattern(family, styleFlags);
    if (!pattern) return std::nullopt;
    FcResult result = FcResultNoMatch;
    FontSetPtr candidates(FcFontSort(nullptr, pattern.get(), FcFalse, nullptr, &result));
    if (!candidates) return std::nullopt;
    for (int i = 0; i < candidates->nfont; ++i) {
        FcPattern* font = candidates->fonts[i];
        FcChar8* path = nullptr;
        FcChar8* matchedFamily = nullptr;
        int index = 0;
        if (FcPatternGetString(font, FC_FILE, 0, &path) != FcResultMatch) continue;
        if (FcPatternGetInteger(font, FC_INDEX, 0, &index) == FcResultMatch && index != 0) continue;
        if (FcPatternGetString(font, FC_FAMILY, 0, &matchedFamily) != FcResultMatch) continue;
        std::optional<std::vector<std::uint8_t>> data = readTrueTypeFile(reinterpret_cast<const char*>(path));
        if (!data) continue;
        return pdf::SystemFont{reinterpret_cast<const char*>(matchedFamily), std::move(*data)};
    }
    return std::nullopt;
}

std::unique_ptr<pdf::FontSource> makeSystemFontSource() { return std::make_unique<FontconfigFontSource>(); }

}  // namespace tabulon::platform
