// The font objects written at close: embedded font files, then one font object per
// record (standard fonts by name; TrueType fonts with widths and descriptor).
#include <new>
#include <string>

#include "ascii85.h"
#include "core_fonts.h"
#include "pdf_format.h"
#include "pdf_writer.h"
#include "truetype_subset.h"

namespace tabulon::pdf {

namespace {

// A PDF name for a font: blanks become "#20", and so does every other byte that
// cannot stand in a name as it is (delimiters, "#", controls, bytes above 126).
std::string pdfFontName(const std::string& baseFontName)
{
    static constexpr std::string_view kDelimiters = "()<>[]{}/%#";
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string name;
    for (char c : baseFontName) {
        auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte > '~' || kDelimiters.find(c) != std::string_view::npos) {
            name += '#';
            name += kHex[byte >> 4];
            name += kHex[byte & 15];
        } else {
            name += c;
        }
    }
    return name;
}

std::string reference(std::int32_t object) { return std::to_string(object) + " 0 R"; }

std::int32_t glyphWidth(const TrueTypeFont& font, std::uint16_t glyph)
{
    return glyph < font.glyphs.size() ? font.glyphs[glyph].width : 0;
}

bool codeUsed(const FontRecord& font, unsigned char code)
{
    return (font.usedCodes[code >> 6] >> (code & 63) & 1) != 0;
}

// The codes drawn in the font. The total-pages alias becomes a number when the
// document closes, so a font that drew every character of the alias may show
// any digit.
std::vector<unsigned char> codesDrawn(const FontRecord& font, const std::string& alias)
{
    std::vector<unsigned char> codes;
    for (int code = 0; code < 256; ++code) {
        if (codeUsed(font, static_cast<unsigned char>(code))) codes.push_back(static_cast<unsigned char>(code));
    }
    bool mayShowAlias = !alias.empty();
    for (char c : alias) mayShowAlias = mayShowAlias && codeUsed(font, static_cast<unsigned char>(c));
    if (mayShowAlias) {
        for (unsigned char digit = '0'; digit <= '9'; ++digit) codes.push_back(digit);
    }
    return codes;
}

}  // namespace

void PdfWriter::putFonts()
{
    for (std::size_t i = 0; i < doc_.fontFiles.size(); ++i) {
        if (doc_.subsetFonts) subsetFontFile(static_cast<std::int32_t>(i));
        putFontFile(doc_.fontFiles[i]);
    }
    for (FontRecord& font : doc_.fonts) {
        if (font.kind == FontKind::TrueType) {
            putTrueTypeFont(font);
        } else {
            putCoreFont(font);
        }
        font.trueType.reset();
    }
    for (FontFileRecord& file : doc_.fontFiles) file.font.reset();
}

void PdfWriter::subsetFontFile(std::int32_t index)
{
    FontFileRecord& file = doc_.fontFiles[static_cast<std::size_t>(index)];
    // Without a Unicode map every code reads as glyph 0, so the glyphs drawn are
    // not known: such a font goes in whole.
    if (!file.font || !file.font->unicodeMap) return;
    const TrueTypeFont& font = *file.font;
    try {
        std::vector<std::uint16_t> glyphs;
        for (const FontRecord& record : doc_.fonts) {
            if (record.fontFile != index) continue;
            for (unsigned char code : codesDrawn(record, doc_.totalPagesAlias)) {
                glyphs.push_back(font.cidToGidMap[windows1252ToUnicode(code)]);
            }
        }
        std::optional<TrueTypeSubset> subset =
            subsetTrueType({file.data.data(), file.data.length()}, glyphs, font.cidToGidMap);
        // A file that cannot be cut safely goes in whole.
        if (!subset) return;
        ByteBuffer data;
        if (!data.append(subset->data.data(), subset->data.size())) return;
        file.data = std::move(data);
        file.subsetTag = subset->tag;
    } catch (const std::bad_alloc&) {
        // Memory for the subset ran out: the whole file still goes in.
    }
}

void PdfWriter::putFontFile(FontFileRecord& file)
{
    newObject();
    file.objectNumber = doc_.objectCount;
    out("<<");
    std::size_t size = file.data.length();
    if (doc_.compressProc && doc_.compressProc(file.data)) {
        // The stream holds exactly the compressed bytes, and /Length says so.
        out("/Filter /FlateDecode");
        out("/Length " + std::to_string(file.data.length()));
        out("/Length1 " + std::to_string(size));
        out(">>");
        putStream(file.data.view());
    } else {
        ByteBuffer encoded;
        if (!encodeAscii85({file.data.data(), file.data.length()}, encoded)) doc_.errorCode = kOutOfMemory;
        out("/Filter /ASCII85Decode");
        out("/Length " + std::to_string(encoded.length()));
        out("/Length1 " + std::to_string(size));
        out(">>");
        putStream(encoded.view());
    }
    out("endobj");
    file.data.release();
}

void PdfWriter::putCoreFont(FontRecord& font)
{
    newObject();
    font.objectNumber = doc_.objectCount;
    out("<</Type /Font");
    out("/BaseFont /" + pdfFontName(font.baseFontName));
    out("/Subtype /Type1");
    if (font.baseFontName != "Symbol" && font.baseFontName != "ZapfDingbats") out("/Encoding /WinAnsiEncoding");
    out(">>");
    out("endobj");
}

void PdfWriter::putTrueTypeFont(FontRecord& font)
{
    const FontFileRecord* file = nullptr;
    if (font.fontFile >= 0 && font.fontFile < static_cast<std::int32_t>(doc_.fontFiles.size())) {
        file = &doc_.fontFiles[static_cast<std::size_t>(font.fontFile)];
    }
    std::string name = pdfFontName(file != nullptr && !file->subsetTag.empty()
                                       ? file->subsetTag + "+" + font.baseFontName
                                       : font.baseFontName);
    static const TrueTypeFont kNoFont;
    const TrueTypeFont& metrics = font.trueType ? *font.trueType : kNoFont;

    newObject();
    std::int32_t widthsObject = doc_.objectCount;
    std::string widths = "[";
    if (!metrics.cidToGidMap.empty()) {
        for (int code = 0; code < 256; ++code) {
            std::uint16_t glyph = metrics.cidToGidMap[windows1252ToUnicode(static_cast<unsigned char>(code))];
            widths += std::to_string(glyphWidth(metrics, glyph)) + " ";
        }
    }
    out(widths + "]");
    out("endobj");

    newObject();
    font.objectNumber = doc_.objectCount;
    out("<</Type /Font");
    out("/Subtype /TrueType");
    out("/Name /F" + std::to_string(font.number));
    out("/BaseFont /" + name);
    out("/Encoding /WinAnsiEncoding");
    out("/FirstChar 0");
    out("/LastChar 255");
    out("/Widths " + reference(widthsObject));
    out("/FontDescriptor " + reference(doc_.objectCount + 1));
    out(">>");
    out("endobj");

    std::int32_t fontFileObject = file != nullptr ? file->objectNumber : 0;
    newObject();
    out("<</Type /FontDescriptor");
    out("/FontName /" + name);
    out("/Ascent " + std::to_string(metrics.ascent));
    out("/Descent " + std::to_string(metrics.descent));
    out("/CapHeight " + std::to_string(metrics.capHeight));
    out("/Flags 4");
    out("/FontBBox [" + std::to_string(metrics.bbox[0]) + " " + std::to_string(metrics.bbox[1]) + " " +
        std::to_string(metrics.bbox[2]) + " " + std::to_string(metrics.bbox[3]) + "]");
    out("/ItalicAngle " + formatNumber(metrics.italicAngle, 2));
    out("/StemV " + std::to_string(metrics.stemV));
    out("/MissingWidth " + std::to_string(glyphWidth(metrics, 0)));
    out("/FontFile2 " + reference(fontFileObject));
    out(">>");
    out("endobj");
}

}  // namespace tabulon::pdf
