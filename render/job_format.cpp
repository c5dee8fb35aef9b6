#include "job_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace tabulon::render {

JobLine splitJobLine(std::string_view line)
{
    JobLine parsed;
    splitJobLine(line, parsed);
    return parsed;
}

void splitJobLine(std::string_view line, JobLine& parsed)
{
    parsed.fields.clear();
    parsed.freeText = std::string_view();
    std::size_t marker = line.find(kFreeTextMarker);
    if (marker == std::string_view::npos) {
        parsed.commandHeader = line;
    } else {
        parsed.commandHeader = line.substr(0, marker);
        parsed.freeText = line.substr(marker + kFreeTextMarker.size());
    }
    std::string_view rest = parsed.commandHeader;
    while (true) {
        std::size_t comma = rest.find(',');
        parsed.fields.push_back(rest.substr(0, comma));
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
}

namespace {

std::size_t skipBlanks(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    return at;
}

// The sign at `at`, if any: moves past it and tells whether it was "-".
bool readSign(std::string_view text, std::size_t& at)
{
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) return text[at++] == '-';
    return false;
}

int digitValue(char c, int base)
{
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value < base ? value : -1;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t skipDigits(std::string_view text, std::size_t at)
{
    while (at < text.size() && isDigit(text[at])) ++at;
    return at;
}

}  // namespace

std::int32_t readInteger(std::string_view field)
{
    std::size_t at = skipBlanks(field);
    bool negative = readSign(field, at);
    int base = 10;
    if (at < field.size() && field[at] == '$') {
        base = 16;
        ++at;
    } else if (at < field.size() && field[at] == '%') {
        base = 2;
        ++at;
    }

    // Decimal digits saturate just past the 32-bit range; hex and binary digits
    // shift the older ones out, keeping the low 32 bits.
    constexpr std::uint64_t kSaturated = std::uint64_t{1} << 32;
    std::uint64_t magnitude = 0;
    for (; at < field.size(); ++at) {
        int digit = digitValue(field[at], base);
        if (digit < 0) break;
        auto next = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        magnitude = base == 10 ? std::min(next, kSaturated) : next & 0xFFFFFFFFu;
    }

    if (base != 10) {
        auto pattern = static_cast<std::uint32_t>(magnitude);
        if (negative) pattern = 0u - pattern;
        return static_cast<std::int32_t>(pattern);
    }
    auto value = static_cast<std::int64_t>(magnitude);
    if (negative) value = -value;
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(value, kMin, kMax));
}

float readDecimal(std::string_view field)
{
    std::size_t at = skipBlanks(field);
    bool negative = readSign(field, at);

    // Scan the longest number the text begins with; only that span is converted,
    // so words such as "inf" or "nan" are no numbers here.
    std::size_t start = at;
    std::size_t end = skipDigits(field, at);
    bool digits = end > start;
    if (end < field.size() && field[end] == '.') {
        std::size_t fraction = skipDigits(field, end + 1);
        digits = digits || fraction > end + 1;
        end = fraction;
    }
    if (!digits) return 0.0f;
    if (end < field.size() && (field[end] == 'e' || field[end] == 'E')) {
        std::size_t exponent = end + 1;
        if (exponent < field.size() && (field[exponent] == '+' || field[exponent] == '-')) ++exponent;
        std::size_t exponentEnd = skipDigits(field, exponent);
        if (exponentEnd > exponent) end = exponentEnd;
    }

    std::string_view number = field.substr(start, end - start);
    float value = 0.0f;
    auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Out of the float range: in double range a cast settles it (tiny values
        // become 0); beyond even that, the exponent's sign tells which way.
        double wide = 0.0;
        auto wideResult = std::from_chars(number.data(), number.data() + number.size(), wide);
        bool huge = wideResult.ec == std::errc() ? std::abs(wide) > std::numeric_limits<float>::max()
                                                  : number.find_first_of("eE") == std::string_view::npos ||
                                                        number.find('-') == std::string_view::npos;
        value = huge ? std::numeric_limits<float>::max() : static_cast<float>(wideResult.ec == std::errc() ? wide : 0);
    } else if (result.ec != std::errc()) {
        value = 0.0f;
    }
    return negative ? -value : value;
}

std::optional<ColourSlot> colourForLetter(std::string_view letter)
{
    if (letter == "K") return ColourSlot{0xFF000000u, 0, 0, 0};
    if (letter == "R") return ColourSlot{0xFF0000FFu, 255, 0, 0};
    if (letter == "B") return ColourSlot{0xFFFF0000u, 0, 0, 255};
    if (letter == "Y") return ColourSlot{0xFF00FF00u, 255, 255, 0};
    return std::nullopt;
}

void applyColourLetter(ColourSlot& slot, std::string_view letter)
{
    if (auto colour = colourForLetter(letter)) slot = *colour;
}

std::optional<std::string_view> familyForLetter(std::string_view letter)
{
    if (letter == "A") return std::string_view("Arial");
    if (letter == "C") return std::string_view("Courier New");
    return std::nullopt;
}

}  // namespace tabulon::render
