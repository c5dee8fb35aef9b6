// Font selection: setFont, the font records of the document and text measurement.
#include <algorithm>
#include <string>

#include "core_fonts.h"
#include "pdf_text_util.h"
#include "pdf_writer.h"
#include "truetype.h"

namespace tabulon::pdf {

namespace {

// The lookup key of a family and style: the style right-aligned in three
// characters filled with "_" (a longer style keeps its first three), "+", family.
std::string fontKey(const std::string& family, const std::string& style)
{
    std::string field = style.size() >= 3 ? style.substr(0, 3) : std::string(3 - style.size(), '_') + style;
    return toUpper(field + "+" + family);
}

// The style flags a TrueType file is requested with: 256 bold, 512 italic, 4 underline.
std::int32_t styleFlagsFor(const std::string& style, bool underline)
{
    std::int32_t flags = 0;
    if (style == "B") flags = 256;
    else if (style == "I") flags = 512;
    else if (style == "BI" || style == "IB") flags = 768;
    if (underline) flags += 4;
    return flags;
}

void makeCoreFont(FontRecord& record, const CoreFont& core)
{
    record.kind = FontKind::Core;
    record.baseFontName = core.baseFontName;
    for (int code = 0; code < 256; ++code) {
        record.widths[static_cast<std::size_t>(code)] = coreWidth(core, static_cast<unsigned char>(code));
    }
}

}  // namespace

bool PdfWriter::repeatsLastFontCall(std::string_view family, std::string_view style, std::int32_t size)
{
    const FontCall& last = lastFontCall_;
    if (!last.valid || last.size != size || last.family != family || last.style != style) return false;
    if (doc_.fontSizePt != last.resultSize || doc_.fontFamily != last.resultFamily ||
        doc_.fontStyle != last.resultStyle) {
        return false;
    }
    doc_.underline = last.resultUnderline;
    return true;
}

void PdfWriter::rememberFontCall(std::string_view family, std::string_view style, std::int32_t size)
{
    FontCall& last = lastFontCall_;
    last.family.assign(family);
    last.style.assign(style);
    last.size = size;
    last.resultFamily = doc_.fontFamily;
    last.resultStyle = doc_.fontStyle;
    last.resultSize = doc_.fontSizePt;
    last.resultUnderline = doc_.underline;
    last.valid = true;
}

void PdfWriter::setFont(std::string_view family, std::string_view style, std::int32_t size)
{
    if (repeatsLastFontCall(family, style, size)) return;
    selectFont(family, style, size);
    rememberFontCall(family, style, size);
}

void PdfWriter::selectFont(std::string_view family, std::string_view style, std::int32_t size)
{
    std::string upperFamily = toUpper(family);
    std::string working(trimBlanks(family));
    if (working.empty()) working = doc_.fontFamily;
    std::string styleText(style);
    if (upperFamily == "ARIAL") {
        working = "HELVETICA";
    } else if (upperFamily == "SYMBOL" || upperFamily == "ZAPFDINGBATS") {
        styleText.clear();
    }
    styleText = toUpper(trimBlanks(styleText));
    if (styleText.find('U') != std::string::npos) {
        doc_.underline = true;
        std::erase(styleText, 'U');
    } else {
        doc_.underline = false;
    }
    if (styleText == "IB") styleText = "BI";
    if (size == 0) size = doc_.fontSizePt;

    if (toUpper(doc_.fontFamily) == toUpper(working) && doc_.fontStyle == styleText && doc_.fontSizePt == size) {
        return;
    }

    std::string key = fontKey(working, styleText);
    doc_.currentFont = -1;
    for (std::size_t i = 0; i < doc_.fonts.size(); ++i) {
        if (doc_.fonts[i].fontKey == key) {
            doc_.currentFont = static_cast<std::int32_t>(i);
            break;
        }
    }
    if (doc_.currentFont < 0) doc_.currentFont = addFont(working, styleText, key);

    doc_.fontFamily = working;
    doc_.fontStyle = styleText;
    doc_.fontSizePt = size;
    doc_.fontSize = static_cast<float>(size) / doc_.k;
    if (doc_.page >= 1) writeFontSelection();
}

void PdfWriter::writeFontSelection()
{
    const FontRecord& font = doc_.fonts[static_cast<std::size_t>(doc_.currentFont)];
    out(line_.begin().put("BT /F").integer(font.number).put(' ').number(doc_.fontSizePt, 2).put(" Tf ET").view());
}

int PdfWriter::addFont(const std::string& family, const std::string& style, const std::string& key)
{
    doc_.fonts.emplace_back();
    FontRecord& record = doc_.fonts.back();
    record.number = static_cast<std::int32_t>(doc_.fonts.size());
    record.fontKey = key;
    record.style = style;
    int index = record.number - 1;

    if (const CoreFont* core = findCoreFont(toUpper(family + style))) {
        makeCoreFont(record, *core);
    } else if (!loadTrueType(record, family, style)) {
        // A family the system cannot supply, or a file that cannot be read, is
        // written in Helvetica of the same style so that its text still shows.
        makeCoreFont(record, helveticaForStyle(style));
    }
    return index;
}

bool PdfWriter::loadTrueType(FontRecord& record, const std::string& family, const std::string& style)
{
    if (fontSource_ == nullptr) return false;
    std::int32_t styleFlags = styleFlagsFor(style, doc_.underline);
    // The source gives the same file for the same request, so each family and
    // flags is asked for once; a job may name one family in many styles.
    std::int32_t index = -1;
    auto lookup = std::find_if(doc_.fontLookups.begin(), doc_.fontLookups.end(), [&](const FontLookup& entry) {
        return entry.styleFlags == styleFlags && entry.family == family;
    });
    if (lookup != doc_.fontLookups.end()) {
        index = lookup->fontFile;
    } else {
        index = findFontFile(family, styleFlags);
        doc_.fontLookups.push_back({family, styleFlags, index});
    }
    if (index < 0) return false;
    const FontFileRecord& file = doc_.fontFiles[static_cast<std::size_t>(index)];
    record.kind = FontKind::TrueType;
    record.baseFontName = file.faceName;
    record.trueType = file.font;
    record.fontFile = index;
    return true;
}

std::int32_t PdfWriter::findFontFile(const std::string& family, std::int32_t styleFlags)
{
    std::optional<SystemFont> found = fontSource_->findFont(family, styleFlags);
    if (!found) return -1;
    std::string faceName = found->faceName.empty() ? family : found->faceName;

    // A file already loaded for this face and style is shared with its metrics.
    for (std::size_t i = 0; i < doc_.fontFiles.size(); ++i) {
        const FontFileRecord& file = doc_.fontFiles[i];
        if (file.faceName == faceName && file.styleFlags == styleFlags) return static_cast<std::int32_t>(i);
    }

    auto font = std::make_shared<TrueTypeFont>();
    if (!parseTrueType(found->fileData, *font)) return -1;
    FontFileRecord file;
    if (!file.data.append(found->fileData.data(), found->fileData.size())) {
        doc_.errorCode = kOutOfMemory;
        return -1;
    }
    file.styleFlags = styleFlags;
    file.faceName = faceName;
    file.font = std::move(font);
    doc_.fontFiles.push_back(std::move(file));
    return static_cast<std::int32_t>(doc_.fontFiles.size() - 1);
}

double PdfWriter::getStringWidth(std::string_view text, bool scaled) const
{
    if (doc_.currentFont < 0 || doc_.currentFont >= static_cast<std::int32_t>(doc_.fonts.size())) return 0.0;
    const FontRecord& font = doc_.fonts[static_cast<std::size_t>(doc_.currentFont)];
    std::int64_t sum = 0;
    if (font.trueType) {
        const TrueTypeFont& trueType = *font.trueType;
        for (unsigned char c : text) {
            std::uint16_t glyph = trueType.cidToGidMap[windows1252ToUnicode(c)];
            if (glyph < trueType.glyphs.size()) sum += trueType.glyphs[glyph].width;
        }
    } else {
        for (unsigned char c : text) sum += font.widths[c];
    }
    if (!scaled) return static_cast<double>(sum);
    return static_cast<double>(sum) * static_cast<double>(doc_.fontSize) / 1000.0;
}

}  // namespace tabulon::pdf
