#include "pdf_format.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace tabulon::pdf {

int formatNumber(char* out, double value, int decimals)
{
    if (decimals < 0) decimals = 0;
    if (decimals > 9) decimals = 9;
    if (!std::isfinite(value)) value = 0.0;
    auto result = std::to_chars(out, out + kMaxNumberText, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) {
        // Only a value beyond the float range can get here; write it as zero.
        result = std::to_chars(out, out + kMaxNumberText, 0.0, std::chars_format::fixed, decimals);
    }
    int length = static_cast<int>(result.ptr - out);
    if (out[0] == '-') {
        bool allZero = true;
        for (int i = 1; i < length && allZero; ++i) allZero = out[i] == '0' || out[i] == '.';
        if (allZero) {
            std::memmove(out, out + 1, static_cast<std::size_t>(length - 1));
            --length;
        }
    }
    return length;
}

std::string formatNumber(double value, int decimals)
{
    char text[kMaxNumberText];
    return std::string(text, static_cast<std::size_t>(formatNumber(text, value, decimals)));
}

int formatInteger(char* out, std::int64_t value)
{
    return static_cast<int>(std::to_chars(out, out + 24, value).ptr - out);
}

std::string escapeString(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size() + text.size() / 4);
    for (unsigned char c : text) {
        switch (c) {
        case 8: escaped += "\\b"; break;
        case 9: escaped += "\\t"; break;
        case 10: escaped += "\\n"; break;
        case 12: escaped += "\\f"; break;
        case 13: escaped += "\\r"; break;
        case '\\': escaped += "\\\\"; break;
        case '(': escaped += "\\("; break;
        case ')': escaped += "\\)"; break;
        default:
            if (c >= 128) {
                escaped += '\\';
                escaped += static_cast<char>('0' + (c >> 6));
                escaped += static_cast<char>('0' + ((c >> 3) & 7));
                escaped += static_cast<char>('0' + (c & 7));
            } else {
                escaped += static_cast<char>(c);
            }
        }
    }
    return escaped;
}

std::string textString(std::string_view text) { return "(" + escapeString(text) + ")"; }

}  // namespace tabulon::pdf
