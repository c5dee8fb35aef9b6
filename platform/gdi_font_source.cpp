#include "gdi_font_source.h"
#include "system_fonts.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace tabulon::platform {

namespace {

// Font files larger than this are not read (no single TrueType face comes close).
constexpr DWORD kMaxFontFileSize = 64 * 1024 * 1024;

// GetFontData's table tags are the four letters in file order read as a
// little-endian number. 'ttcf' names the whole file of a collection; it is
// there only when the face comes from one.
constexpr DWORD kCollectionTag = 0x66637474;

// A device context on the screen with a font selected into it, released in
// reverse order.
class SelectedFont {
public:
    SelectedFont(const std::string& family, std::int32_t styleFlags)
    {
        dc_ = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
        if (dc_ == nullptr) return;
        const int weight = (styleFlags & 256) != 0 ? FW_BOLD : FW_NORMAL;
        const DWORD italic = (styleFlags & 512) != 0 ? TRUE : FALSE;
        font_ = CreateFontA(-100, 0, 0, 0, weight, italic, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, family.c_str());
        if (font_ != nullptr) previous_ = SelectObject(dc_, font_);
    }
    ~SelectedFont()
    {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
        if (font_ != nullptr) DeleteObject(font_);
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    SelectedFont(const SelectedFont&) = delete;
    SelectedFont& operator=(const SelectedFont&) = delete;

    // The device context, or null when the font could not be selected.
    HDC dc() const { return previous_ != nullptr && previous_ != HGDI_ERROR ? dc_ : nullptr; }

private:
    HDC dc_ = nullptr;
    HFONT font_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// The whole file of the selected face when it is a single TrueType font.
std::optional<std::vector<std::uint8_t>> readTrueTypeFile(HDC dc)
{
    if (GetFontData(dc, kCollectionTag, 0, nullptr, 0) != GDI_ERROR) return std::nullopt;
    const DWORD size = GetFontData(dc, 0, 0, nullptr, 0);
    if (size == GDI_ERROR || size < 12 || size > kMaxFontFileSize) return std::nullopt;
    std::vector<std::uint8_t> data(size);
    if (GetFontData(dc, 0, 0, data.data(), size) != size) return std::nullopt;
    if (data[0] != 0 || data[1] != 1 || data[2] != 0 || data[3] != 0) return std::nullopt;
    return data;
}

}  // namespace

std::optional<pdf::SystemFont> GdiFontSource::findFont(std::string_view family, std::int32_t styleFlags)
{
    // GDI keeps at most LF_FACESIZE - 1 characters of a face name.
    const std::string name(family.substr(0, std::min<std::size_t>(family.size(), LF_FACESIZE - 1)));
    const SelectedFont selected(name, styleFlags);
    if (selected.dc() == nullptr) return std::nullopt;
    char face[LF_FACESIZE] = {};
    const int faceLength = GetTextFaceA(selected.dc(), sizeof face, face);
    if (faceLength <= 0) return std::nullopt;
    std::optional<std::vector<std::uint8_t>> data = readTrueTypeFile(selected.dc());
    if (!data) return std::nullopt;
    return pdf::SystemFont{face, std::move(*data)};
}

std::unique_ptr<pdf::FontSource> makeSystemFontSource() { return std::make_unique<GdiFontSource>(); }

}  // namespace tabulon::platform
