#include "core_fonts.h"

#include <array>

namespace tabulon::pdf {

namespace {

// Compared in this order; the first equal lookup name wins.
constexpr std::array<CoreFont, 14> kCoreFontTable = {{
    {"COURIER", "Courier", nullptr},
    {"COURIERB", "Courier-Bold", nullptr},
    {"COURIERI", "Courier-Oblique", nullptr},
    {"COURIERBI", "Courier-BoldOblique", nullptr},
    {"HELVETICA", "Helvetica", &kHelveticaWidths},
    {"HELVETICAB", "Helvetica-Bold", &kHelveticaBoldWidths},
    {"HELVETICAI", "Helvetica-Oblique", &kHelveticaObliqueWidths},
    {"HELVETICABI", "Helvetica-BoldOblique", &kHelveticaBoldObliqueWidths},
    {"ZAPFDINGBATS", "ZapfDingbats", &kZapfDingbatsWidths},
    {"TIMES", "Times-Roman", &kTimesRomanWidths},
    {"TIMESI", "Times-Italic", &kTimesItalicWidths},
    {"TIMESBI", "Times-BoldItalic", &kTimesBoldItalicWidths},
    {"TIMESB", "Times-Bold", &kTimesBoldWidths},
    {"SYMBOL", "Symbol", &kSymbolWidths},
}};

constexpr std::array<std::uint16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

const CoreFont* findCoreFont(std::string_view lookupName)
{
    for (const CoreFont& font : kCoreFontTable) {
        if (font.lookupName == lookupName) return &font;
    }
    return nullptr;
}

const CoreFont& helveticaForStyle(std::string_view style)
{
    bool bold = style.find('B') != std::string_view::npos;
    bool italic = style.find('I') != std::string_view::npos;
    return kCoreFontTable[4 + (bold ? 1 : 0) + (italic ? 2 : 0)];
}

std::uint16_t windows1252ToUnicode(unsigned char code)
{
    if (code >= 128 && code < 160) return kCp1252High[code - 128];
    return code;
}

}  // namespace tabulon::pdf
