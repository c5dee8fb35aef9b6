#include "pdf_format.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace tabulon::pdf {

namespace {

constexpr double kScale[] = {1, 10, 100, 1000, 10000};
constexpr std::uint32_t kIntegerScale[] = {1, 10, 100, 1000, 10000};
constexpr int kFastDecimals = 4;

// Adding and taking away 1.5 * 2^52 leaves a double of magnitude below 2^51
// rounded to a whole number in the default rounding mode: to the nearest, halves
// to even. The same as nearbyint, without a library call.
double roundToWhole(double value)
{
    constexpr double kShift = 6755399441055744.0;  // 1.5 * 2^52
    // IEEE arithmetic: compilers keep both steps unless told to reassociate.
    return (value + kShift) - kShift;
}

// The common case: a value that is exactly a float, below a billion, with at most
// four decimals. Its scaled value (24 significant bits times at most 10^4) is
// exact in a double, so rounding it to the nearest integer, ties to even, gives
// the same digits as the exact decimal expansion. Returns -1 for other values.
int formatFloatFixed(char* out, double value, int decimals)
{
    if (decimals > kFastDecimals || !(std::fabs(value) < 1e9)) return -1;
    if (static_cast<double>(static_cast<float>(value)) != value) return -1;
    auto scaled = static_cast<std::int64_t>(roundToWhole(value * kScale[decimals]));
    char* at = out;
    // A value that rounds to zero is written without a sign.
    if (scaled < 0) {
        *at++ = '-';
        scaled = -scaled;
    }
    auto magnitude = static_cast<std::uint64_t>(scaled);
    std::uint32_t unit = kIntegerScale[decimals];
    at = std::to_chars(at, out + kMaxNumberText, magnitude / unit).ptr;
    if (decimals > 0) {
        *at++ = '.';
        auto fraction = static_cast<std::uint32_t>(magnitude % unit);
        for (int i = decimals - 1; i >= 0; --i) {
            at[i] = static_cast<char>('0' + fraction % 10);
            fraction /= 10;
        }
        at += decimals;
    }
    return static_cast<int>(at - out);
}

// Pages repeat the same coordinates and sizes over and over (columns, rows,
// widths), so the text of recently written numbers is kept: a small table indexed
// by a hash of the value's bits and the decimals. Per thread, as the writers of
// different threads write different documents.
struct RecentNumber {
    std::uint64_t bits = 0;
    int decimals = -1;  // -1: an empty entry
    int length = 0;
    char text[24] = {};
};
constexpr int kRecentBits = 9;
thread_local RecentNumber recentNumbers[1 << kRecentBits];

RecentNumber& recentEntry(std::uint64_t bits, int decimals)
{
    std::uint64_t hash = (bits ^ static_cast<std::uint64_t>(decimals)) * 0x9E3779B97F4A7C15ull;
    return recentNumbers[hash >> (64 - kRecentBits)];
}

}  // namespace

int formatNumber(char* out, double value, int decimals)
{
    if (decimals < 0) decimals = 0;
    if (decimals > 9) decimals = 9;
    if (!std::isfinite(value)) value = 0.0;
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    RecentNumber& recent = recentEntry(bits, decimals);
    if (recent.decimals == decimals && recent.bits == bits) {
        std::memcpy(out, recent.text, static_cast<std::size_t>(recent.length));
        return recent.length;
    }
    if (int length = formatFloatFixed(out, value, decimals); length >= 0) {
        if (length <= static_cast<int>(sizeof recent.text)) {
            recent.bits = bits;
            recent.decimals = decimals;
            recent.length = length;
            std::memcpy(recent.text, out, static_cast<std::size_t>(length));
        }
        return length;
    }
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

}  // namespace tabulon::pdf
