// The font objects written at close: embedded font files, then one font object per
// record (standard fonts by name; TrueType fonts with widths and descriptor).
#include <string>

#include "ascii85.h"
#include "core_fonts.h"
#include "pdf_format.h"
#include "pdf_writer.h"

namespace tabulon::pdf {

namespace {

// A PDF name for a font: blanks become "#20".
std::string pdfFontName(const std::string& baseFontName)
{
    std::string name;
    for (char c : baseFontName) {
        if (c == ' ') {
            name += "#20";
        } else {
            name += c;
        }
    }
    return name;
}

std::string reference(std::int32_t object) { return std::to_string(object) + " 0 R"; }

std::int32_t glyphWidth(const FontRecord& font, std::uint16_t glyph)
{
    return glyph < font.glyphs.size() ? font.glyphs[glyph].width : 0;
}

}  // namespace

void PdfWriter::putFonts()
{
    for (FontFileRecord& file : doc_.fontFiles) putFontFile(file);
    for (FontRecord& font : doc_.fonts) {
        if (font.kind == FontKind::TrueType) {
            putTrueTypeFont(font);
        } else {
            putCoreFont(font);
        }
        std::vector<std::uint16_t>().swap(font.cidToGidMap);
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
    std::string name = pdfFontName(font.baseFontName);

    newObject();
    std::int32_t widthsObject = doc_.objectCount;
    std::string widths = "[";
    if (!font.cidToGidMap.empty()) {
        for (int code = 0; code < 256; ++code) {
            std::uint16_t glyph = font.cidToGidMap[windows1252ToUnicode(static_cast<unsigned char>(code))];
            widths += std::to_string(glyphWidth(font, glyph)) + " ";
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

    std::int32_t fontFileObject = 0;
    if (font.fontFile >= 0 && font.fontFile < static_cast<std::int32_t>(doc_.fontFiles.size())) {
        fontFileObject = doc_.fontFiles[static_cast<std::size_t>(font.fontFile)].objectNumber;
    }
    newObject();
    out("<</Type /FontDescriptor");
    out("/FontName /" + name);
    out("/Ascent " + std::to_string(font.ascent));
    out("/Descent " + std::to_string(font.descent));
    out("/CapHeight " + std::to_string(font.capHeight));
    out("/Flags 4");
    out("/FontBBox [" + std::to_string(font.bbox[0]) + " " + std::to_string(font.bbox[1]) + " " +
        std::to_string(font.bbox[2]) + " " + std::to_string(font.bbox[3]) + "]");
    out("/ItalicAngle " + formatNumber(font.italicAngle, 2));
    out("/StemV " + std::to_string(font.stemV));
    out("/MissingWidth " + std::to_string(glyphWidth(font, 0)));
    out("/FontFile2 " + reference(fontFileObject));
    out(">>");
    out("endobj");
}

}  // namespace tabulon::pdf
