// Text output: a single line of text at a baseline position, its underline, and
// the literal-string encoder.
#include "pdf_text.h"

#include <array>
#include <cstring>

#include "pdf_writer.h"

namespace tabulon::pdf {

namespace {

// The escape for byte c, or 0 when it is written as it is.
constexpr char escapeOf(unsigned char c)
{
    switch (c) {
    case 8: return 'b';
    case 9: return 't';
    case 10: return 'n';
    case 12: return 'f';
    case 13: return 'r';
    case '\\': return '\\';
    case '(': return '(';
    case ')': return ')';
    default: return 0;
    }
}

// The same, looked up: text output asks for every byte.
constexpr auto kEscapes = [] {
    std::array<char, 256> table{};
    for (int c = 0; c < 256; ++c) table[static_cast<std::size_t>(c)] = escapeOf(static_cast<unsigned char>(c));
    return table;
}();

char escapeFor(unsigned char c) { return kEscapes[c]; }

}  // namespace

bool encodeText(std::string_view prefix, std::string_view suffix, std::string_view txt, ByteBuffer& buffer,
                bool twoByte)
{
    buffer.release();
    std::size_t capacity = prefix.size() + 4 * txt.size() + suffix.size() + 1 + (twoByte ? 2 : 0);
    if (!buffer.ensureCapacity(capacity)) return false;
    std::uint8_t* out = buffer.data();
    std::size_t length = prefix.size();
    if (!prefix.empty()) std::memcpy(out, prefix.data(), prefix.size());
    if (twoByte) {
        out[length++] = 254;
        out[length++] = 255;
    }
    for (unsigned char c : txt) {
        if (twoByte) out[length++] = 0;
        if (char escape = escapeFor(c); escape != 0) {
            out[length++] = '\\';
            out[length++] = static_cast<std::uint8_t>(escape);
        } else {
            out[length++] = c;
        }
    }
    if (!suffix.empty()) std::memcpy(out + length, suffix.data(), suffix.size());
    buffer.setLength(length + suffix.size());
    return true;
}

void PdfWriter::noteUsedCodes(std::string_view txt)
{
    if (doc_.currentFont < 0 || doc_.currentFont >= static_cast<std::int32_t>(doc_.fonts.size())) return;
    std::array<std::uint64_t, 4>& used = doc_.fonts[static_cast<std::size_t>(doc_.currentFont)].usedCodes;
    for (unsigned char c : txt) used[c >> 6] |= std::uint64_t{1} << (c & 63);
}

void PdfWriter::text(float x, float y, std::string_view txt)
{
    if (txt.empty()) return;
    if (doc_.subsetFonts) noteUsedCodes(txt);
    // The most frequent line of all is written straight into the contents, in
    // room reserved once for its longest form: an escape doubles a byte. The
    // underline's rectangle, rare, is built apart and copied in.
    std::string_view underline;
    if (doc_.underline) {
        appendUnderlineRect(line_.begin(), x, y, txt);
        underline = line_.view();
    }
    const std::string_view colour = doc_.colorFlag ? std::string_view(doc_.textColor) : std::string_view();
    const std::size_t most = colour.size() + 2 * kMaxNumberText + 2 * txt.size() + underline.size() + 32;
    ByteBuffer& buffer = target();
    std::uint8_t* const start = buffer.tail(most);
    if (start == nullptr) {
        doc_.errorCode = kOutOfMemory;
        return;
    }
    char* at = reinterpret_cast<char*>(start);
    const auto put = [&at](std::string_view piece) {
        std::memcpy(at, piece.data(), piece.size());
        at += piece.size();
    };
    if (!colour.empty()) {
        put("q ");
        put(colour);
        *at++ = ' ';
    }
    put("BT ");
    at += formatNumber(at, x * doc_.k, 2);
    *at++ = ' ';
    at += formatNumber(at, (doc_.h - y) * doc_.k, 2);
    put(" Td (");
    for (const unsigned char c : txt) {
        const char escape = escapeFor(c);
        if (escape != 0) {
            *at++ = '\\';
            *at++ = escape;
        } else {
            *at++ = static_cast<char>(c);
        }
    }
    put(") Tj ET");
    if (!underline.empty()) {
        *at++ = ' ';
        put(underline);
    }
    if (!colour.empty()) put(" Q");
    *at++ = '\n';
    buffer.setLength(buffer.length() + static_cast<std::size_t>(at - reinterpret_cast<char*>(start)));
}

std::string PdfWriter::underlineRect(float x, float y, std::string_view txt) const
{
    ContentLine rectangle;
    appendUnderlineRect(rectangle, x, y, txt);
    return rectangle.str();
}

void PdfWriter::appendUnderlineRect(ContentLine& line, float x, float y, std::string_view txt) const
{
    std::size_t blanks = 0;
    for (char c : txt) blanks += c == ' ';
    double width = getStringWidth(txt, true) + static_cast<double>(doc_.wordSpacing) * static_cast<double>(blanks);
    float thickness = static_cast<float>(doc_.fontSizePt) * -0.05f;
    if (doc_.fontStyle.find('B') != std::string::npos) thickness *= 2.0f;
    line.number(x * doc_.k, 2).put(' ').number((doc_.h - (y + 0.1f * doc_.fontSize)) * doc_.k, 2).put(' ');
    line.number(width * doc_.k, 2).put(' ').number(thickness, 2).put(" re f");
}

}  // namespace tabulon::pdf
