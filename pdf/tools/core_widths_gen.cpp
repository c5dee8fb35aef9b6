// Build-time generator of the standard fonts' width tables.
//
// Reads Adobe font metrics files and writes a C++ source with one table of 256
// advance widths per font. Text fonts (Helvetica and Times families) place each
// glyph at its Windows-1252 position (the WinAnsiEncoding glyph names); Symbol and
// ZapfDingbats place glyphs at the codes of their built-in encodings, as given by
// the "C" field of the metrics. Control codes 0 to 31 take the given filler width;
// codes above 32 that Windows-1252 leaves undefined take the bullet's width, the
// glyph WinAnsiEncoding shows for them.
//
// Usage: core_widths_gen OUTPUT.cpp (TABLE_NAME FILE.afm text|builtin FILLER)...
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// WinAnsiEncoding glyph names for codes 32 to 255; "" = undefined (bullet).
const char* const kWinAnsiNames[224] = {
    "space", "exclam", "quotedbl", "numbersign", "dollar", "percent", "ampersand", "quotesingle",
    "parenleft", "parenright", "asterisk", "plus", "comma", "hyphen", "period", "slash",
    "zero", "one", "two", "three", "four", "five", "six", "seven",
    "eight", "nine", "colon", "semicolon", "less", "equal", "greater", "question",
    "at", "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O",
    "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z", "bracketleft", "backslash", "bracketright",
    "asciicircum", "underscore",
    "grave", "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n", "o",
    "p", "q", "r", "s", "t", "u", "v", "w", "x", "y", "z", "braceleft", "bar", "braceright",
    "asciitilde", "",
    // 128 to 159
    "Euro", "", "quotesinglbase", "florin", "quotedblbase", "ellipsis", "dagger", "daggerdbl",
    "circumflex", "perthousand", "Scaron", "guilsinglleft", "OE", "", "Zcaron", "",
    "", "quoteleft", "quoteright", "quotedblleft", "quotedblright", "bullet", "endash", "emdash",
    "tilde", "trademark", "scaron", "guilsinglright", "oe", "", "zcaron", "Ydieresis",
    // 160 to 255
    "space", "exclamdown", "cent", "sterling", "currency", "yen", "brokenbar", "section",
    "dieresis", "copyright", "ordfeminine", "guillemotleft", "logicalnot", "hyphen", "registered", "macron",
    "degree", "plusminus", "twosuperior", "threesuperior", "acute", "mu", "paragraph", "periodcentered",
    "cedilla", "onesuperior", "ordmasculine", "guillemotright", "onequarter", "onehalf", "threequarters",
    "questiondown",
    "Agrave", "Aacute", "Acircumflex", "Atilde", "Adieresis", "Aring", "AE", "Ccedilla",
    "Egrave", "Eacute", "Ecircumflex", "Edieresis", "Igrave", "Iacute", "Icircumflex", "Idieresis",
    "Eth", "Ntilde", "Ograve", "Oacute", "Ocircumflex", "Otilde", "Odieresis", "multiply",
    "Oslash", "Ugrave", "Uacute", "Ucircumflex", "Udieresis", "Yacute", "Thorn", "germandbls",
    "agrave", "aacute", "acircumflex", "atilde", "adieresis", "aring", "ae", "ccedilla",
    "egrave", "eacute", "ecircumflex", "edieresis", "igrave", "iacute", "icircumflex", "idieresis",
    "eth", "ntilde", "ograve", "oacute", "ocircumflex", "otilde", "odieresis", "divide",
    "oslash", "ugrave", "uacute", "ucircumflex", "udieresis", "yacute", "thorn", "ydieresis",
};

struct Metrics {
    std::map<std::string, int> widthByName;
    std::map<int, int> widthByCode;
};

// Reads the "C code ; WX width ; N name ;" lines of a metrics file.
bool readMetrics(const std::string& path, Metrics& metrics)
{
    std::ifstream file(path);
    if (!file) return false;
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind("C ", 0) != 0) continue;
        std::istringstream fields(line);
        std::string item;
        int code = -1, width = 0;
        std::string name;
        while (std::getline(fields, item, ';')) {
            std::istringstream words(item);
            std::string key;
            words >> key;
            if (key == "C") words >> code;
            else if (key == "WX") words >> width;
            else if (key == "N") words >> name;
        }
        if (!name.empty()) metrics.widthByName[name] = width;
        if (code >= 0 && code < 256) metrics.widthByCode[code] = width;
    }
    return !metrics.widthByName.empty();
}

std::array<int, 256> textTable(const Metrics& metrics, int filler)
{
    std::array<int, 256> widths{};
    int bullet = metrics.widthByName.at("bullet");
    for (int code = 0; code < 32; ++code) widths[code] = filler;
    for (int code = 32; code < 256; ++code) {
        std::string name = kWinAnsiNames[code - 32];
        auto found = metrics.widthByName.find(name);
        widths[code] = name.empty() || found == metrics.widthByName.end() ? bullet : found->second;
    }
    return widths;
}

std::array<int, 256> builtinTable(const Metrics& metrics, int filler)
{
    std::array<int, 256> widths{};
    for (int code = 0; code < 32; ++code) widths[code] = filler;
    for (const auto& [code, width] : metrics.widthByCode) {
        if (code >= 32) widths[code] = width;
    }
    return widths;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || (argc - 2) % 4 != 0) {
        std::fprintf(stderr, "usage: %s OUTPUT.cpp (NAME FILE.afm text|builtin FILLER)...\n", argv[0]);
        return 2;
    }
    std::ostringstream source;
    source << "// Generated by core_widths_gen from the Adobe font metrics in data/afm. Do not edit.\n"
              "#include \"core_widths.h\"\n\nnamespace tabulon::pdf {\n";
    for (int i = 2; i < argc; i += 4) {
        Metrics metrics;
        if (!readMetrics(argv[i + 1], metrics)) {
            std::fprintf(stderr, "core_widths_gen: cannot read %s\n", argv[i + 1]);
            return 1;
        }
        int filler = std::atoi(argv[i + 3]);
        std::array<int, 256> widths = std::string(argv[i + 2]) == "text" ? textTable(metrics, filler)
                                                                        : builtinTable(metrics, filler);
        source << "\nconst CoreWidths " << argv[i] << " = {";
        for (int code = 0; code < 256; ++code) {
            source << (code % 16 == 0 ? "\n    " : " ") << widths[code] << ",";
        }
        source << "\n};\n";
    }
    source << "\n}  // namespace tabulon::pdf\n";
    std::ofstream out(argv[1]);
    out << source.str();
    return out ? 0 : 1;
}
