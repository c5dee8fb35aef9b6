#include "qt_text_codec.h"

#include <array>

#include "ansi_text.h"

namespace tabulon::platform {

namespace {

// Windows-1252 bytes to Unicode, built once from the encoder so that both
// directions always agree: bytes below 0x80 and from 0xA0 are Latin-1, the
// others are found among the code points the encoder maps to them.
std::array<char16_t, 256> makeDecodeTable()
{
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        table[b] = static_cast<char16_t>(b);
    }
    for (char32_t cp = 0x100; cp < 0x2200; ++cp) {
        const auto b = static_cast<unsigned char>(render::windows1252ForCodePoint(cp));
        if (b >= 0x80 && b < 0xA0) {
            table[b] = static_cast<char16_t>(cp);
        }
    }
    return table;
}

}  // namespace

std::string clipboardToAnsi(const std::u16string& text)
{
    return render::utf8ToWindows1252(QString::fromStdU16String(text).toStdString());
}

QString ansiToQString(const std::string& text)
{
    static const std::array<char16_t, 256> table = makeDecodeTable();
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (const char c : text) {
        out.append(QChar(table[static_cast<unsigned char>(c)]));
    }
    return out;
}

}  // namespace tabulon::platform
