// Locale-free formatting of the numbers that go into a PDF file.
//
// Every number that reaches the file passes through these functions. They never
// consult the C locale, so a comma-decimal user locale cannot turn 595.28 into
// "595,28".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tabulon::pdf {

// Longest text formatNumber can produce for the values the writer handles
// (sign, up to 39 integer digits of a float, point, decimals).
inline constexpr int kMaxNumberText = 64;

// Writes `value` in fixed-point notation with exactly `decimals` digits after a "."
// (0 to 9), correctly rounded from the value's binary form. Negative zero is written
// without its sign. Returns the number of characters written into `out`, which must
// hold kMaxNumberText characters.
int formatNumber(char* out, double value, int decimals);
std::string formatNumber(double value, int decimals);

// Plain decimal integer text, as used for object numbers, offsets and sizes.
int formatInteger(char* out, std::int64_t value);

}  // namespace tabulon::pdf
