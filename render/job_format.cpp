#include "job_format.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace tabulon::render {

JobLine splitJobLine(std::string_view line)
{
    JobLine parsed;
    splitJobLine(line, parsed);
    return parsed;
}

JobCommand commandForWord(std::string_view word)
{
    if (word == "txt") return JobCommand::Text;
    if (word == "img") return JobCommand::Picture;
    if (word == "line") return JobCommand::Line;
    if (word == "box") return JobCommand::Box;
    if (word == "eop") return JobCommand::EndOfPage;
    return JobCommand::None;
}

// Where each command keeps its fields: field 1 is the command word.
TextFields JobLine::text() const { return {field(2), field(3), field(4), field(5), field(6), field(7)}; }
PictureFields JobLine::picture() const { return {field(2), field(3), field(4), field(5), field(6)}; }
LineFields JobLine::line() const { return {field(2), field(3), field(4), field(5), field(6), field(7)}; }
BoxFields JobLine::box() const { return {field(2), field(3), field(4), field(5), field(6), field(7), field(8)}; }

namespace {

constexpr std::uint64_t kLow7Bits = 0x7F7F7F7F7F7F7F7Full;

// The top bit of every byte of `word` equal to `byte`, and no other bit.
std::uint64_t bytesEqualTo(std::uint64_t word, unsigned char byte)
{
    std::uint64_t x = word ^ (0x0101010101010101ull * byte);
    return ~(((x & kLow7Bits) + kLow7Bits) | x | kLow7Bits);
}

}  // namespace

void splitJobLine(std::string_view line, JobLine& parsed)
{
    // One pass over the command header, eight bytes at a time: only commas and
    // slashes are looked at one by one. Commas end fields; the first "/*" ends the
    // header, and the free text after it is not read.
    parsed.fields.clear();
    const char* bytes = line.data();
    const std::size_t size = line.size();
    std::size_t fieldStart = 0;
    std::size_t header = size;
    auto atSpecial = [&](std::size_t at) {
        if (bytes[at] == ',') {
            parsed.fields.emplace_back(bytes + fieldStart, at - fieldStart);
            fieldStart = at + 1;
            return false;
        }
        return at + 1 < size && bytes[at + 1] == '*';  // a '/': the marker?
    };
    std::size_t at = 0;
    for (; at + 8 <= size && header == size; at += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + at, sizeof word);
        if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
        for (std::uint64_t hits = bytesEqualTo(word, ',') | bytesEqualTo(word, '/'); hits != 0; hits &= hits - 1) {
            std::size_t hit = at + static_cast<std::size_t>(std::countr_zero(hits)) / 8;
            if (atSpecial(hit)) {
                header = hit;
                break;
            }
        }
    }
    for (; at < size && header == size; ++at) {
        if ((bytes[at] == ',' || bytes[at] == '/') && atSpecial(at)) header = at;
    }
    parsed.fields.emplace_back(bytes + fieldStart, header - fieldStart);
    parsed.command = commandForWord(parsed.fields.front());
    parsed.commandHeader = line.substr(0, header);
    parsed.freeText = header < size ? line.substr(header + kFreeTextMarker.size()) : std::string_view();
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

// Short plain numbers, the usual case, without the general conversion: digits
// with an optional fraction, ended by the field's end or by a character that
// cannot continue a number (no exponent), below 2^24 as an integer of all their
// digits and at most ten of them after the point. Both the digits and the power
// of ten are then exact floats, so one division rounds exactly as converting the
// decimal text does. False leaves the number to the general reading.
bool readShortDecimal(std::string_view text, float& value)
{
    constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    constexpr std::uint32_t kExactLimit = 1u << 24;
    std::uint32_t digits = 0;
    int fractionDigits = -1;
    bool anyDigit = false;
    for (char c : text) {
        if (c == '.' && fractionDigits < 0) {
            fractionDigits = 0;
            continue;
        }
        if (c < '0' || c > '9') {
            if (c == 'e' || c == 'E') return false;
            break;
        }
        anyDigit = true;
        digits = digits * 10 + static_cast<std::uint32_t>(c - '0');
        if (digits >= kExactLimit) return false;
        if (fractionDigits >= 0 && ++fractionDigits > 10) return false;
    }
    if (!anyDigit) return false;
    value = static_cast<float>(digits);
    if (fractionDigits > 0) value /= kPowers[fractionDigits];
    return true;
}

}  // namespace

namespace {

// The integer reading with where it stopped: `end` is the position after the
// last character it took, `digits` whether it found any digit at all.
struct IntegerScan {
    std::int32_t value = 0;
    std::size_t end = 0;
    bool digits = false;
};

IntegerScan scanInteger(std::string_view field)
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
    const std::size_t firstDigit = at;
    if (base == 10) {
        for (; at < field.size() && isDigit(field[at]); ++at) {
            magnitude = std::min(magnitude * 10 + static_cast<std::uint64_t>(field[at] - '0'), kSaturated);
        }
    }
    for (; at < field.size(); ++at) {
        int digit = digitValue(field[at], base);
        if (digit < 0) break;
        auto next = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        magnitude = base == 10 ? std::min(next, kSaturated) : next & 0xFFFFFFFFu;
    }

    IntegerScan scan;
    scan.end = at;
    scan.digits = at > firstDigit;
    if (base != 10) {
        auto pattern = static_cast<std::uint32_t>(magnitude);
        if (negative) pattern = 0u - pattern;
        scan.value = static_cast<std::int32_t>(pattern);
        return scan;
    }
    auto value = static_cast<std::int64_t>(magnitude);
    if (negative) value = -value;
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    scan.value = static_cast<std::int32_t>(std::clamp(value, kMin, kMax));
    return scan;
}

}  // namespace

std::int32_t readInteger(std::string_view field) { return scanInteger(field).value; }

std::size_t integerEnd(std::string_view field)
{
    const IntegerScan scan = scanInteger(field);
    return scan.digits ? scan.end : 0;
}

namespace {

// The longest number a field begins with after its blanks and sign, as the
// decimal reading takes it: field[start, end), or start == end when there is none.
// Only that span is converted, so words such as "inf" or "nan" are no numbers.
struct DecimalSpan {
    std::size_t start = 0;
    std::size_t end = 0;
};

DecimalSpan scanDecimal(std::string_view field, std::size_t at)
{
    std::size_t start = at;
    std::size_t end = skipDigits(field, at);
    bool digits = end > start;
    if (end < field.size() && field[end] == '.') {
        std::size_t fraction = skipDigits(field, end + 1);
        digits = digits || fraction > end + 1;
        end = fraction;
    }
    if (!digits) return {start, start};
    if (end < field.size() && (field[end] == 'e' || field[end] == 'E')) {
        std::size_t exponent = end + 1;
        if (exponent < field.size() && (field[exponent] == '+' || field[exponent] == '-')) ++exponent;
        std::size_t exponentEnd = skipDigits(field, exponent);
        if (exponentEnd > exponent) end = exponentEnd;
    }
    return {start, end};
}

}  // namespace

std::size_t decimalEnd(std::string_view field)
{
    std::size_t at = skipBlanks(field);
    readSign(field, at);
    const DecimalSpan span = scanDecimal(field, at);
    return span.end > span.start ? span.end : 0;
}

float readDecimal(std::string_view field)
{
    std::size_t at = skipBlanks(field);
    bool negative = readSign(field, at);
    std::string_view rest = field.substr(at);
    if (float exact; readShortDecimal(rest, exact)) return negative ? -exact : exact;

    const auto [start, end] = scanDecimal(field, at);
    if (end == start) return 0.0f;

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
