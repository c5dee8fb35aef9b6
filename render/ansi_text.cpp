#include "ansi_text.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace tabulon::render {

namespace {

// Code points of bytes 0x80 to 0x9F; the unassigned bytes keep their own value.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char32_t kMalformed = 0xFFFFFFFF;

// Decodes one UTF-8 sequence at `at` and moves past it; a malformed sequence
// gives kMalformed and moves one byte on.
char32_t decodeOne(std::string_view text, std::size_t& at)
{
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(at);
    std::size_t length = 1;
    char32_t value = lead;
    char32_t minimum = 0;
    if (lead >= 0x80) {
        if ((lead & 0xE0) == 0xC0) {
            length = 2, value = lead & 0x1F, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, value = lead & 0x0F, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, value = lead & 0x07, minimum = 0x10000;
        } else {
            ++at;
            return kMalformed;
        }
    }
    if (length > text.size() - at) {
        ++at;
        return kMalformed;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            ++at;
            return kMalformed;
        }
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++at;
        return kMalformed;
    }
    at += length;
    return value;
}

// The position of the first byte above 127 at or after `from`, or the size.
std::size_t nextHighByte(std::string_view text, std::size_t from)
{
    constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
    std::size_t at = from;
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + at, sizeof word);
        if (word & kHighBits) break;
    }
    while (at < text.size() && static_cast<unsigned char>(text[at]) < 0x80) ++at;
    return at;
}

}  // namespace

char windows1252ForCodePoint(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return static_cast<char>(codePoint);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == codePoint) return static_cast<char>(0x80 + i);
    }
    return '?';
}

void convertUtf8ToWindows1252(std::string& text)
{
    // Every character becomes one byte, never more, so the text is converted in
    // its own memory: `write` never passes `at`. Runs of ASCII, the same in both,
    // are found eight bytes at a time and moved whole.
    std::size_t at = 0;
    std::size_t write = 0;
    while (at < text.size()) {
        std::size_t high = nextHighByte(text, at);
        if (high > at && write != at) std::memmove(text.data() + write, text.data() + at, high - at);
        write += high - at;
        at = high;
        if (at == text.size()) break;
        char converted = windows1252ForCodePoint(decodeOne(text, at));
        text[write++] = converted;
    }
    text.resize(write);
}

std::string utf8ToWindows1252(std::string_view utf8)
{
    std::string text(utf8);
    convertUtf8ToWindows1252(text);
    return text;
}

}  // namespace tabulon::render
