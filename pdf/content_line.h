// ContentLine: builds one line of output (a content operator, an object's
// dictionary line) from numbers and literal pieces, without the C locale.
//
// A writer owns one and reuses it for every line, so that building a line
// allocates nothing once the longest line so far fits; writers on different
// threads share nothing through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "pdf_format.h"

namespace tabulon::pdf {

class ContentLine {
public:
    // Empties the line for the next one.
    ContentLine& begin()
    {
        text_.clear();
        return *this;
    }
    // `value` with exactly `decimals` digits after a "." (see formatNumber).
    ContentLine& number(double value, int decimals)
    {
        char digits[kMaxNumberText];
        text_.append(digits, static_cast<std::size_t>(formatNumber(digits, value, decimals)));
        return *this;
    }
    // `value` with two decimals, trailing zeros and a trailing "." dropped ("12",
    // "0.5"), and no sign on a value that rounds to zero.
    ContentLine& shortNumber(float value)
    {
        char digits[kMaxNumberText];
        int length = formatNumber(digits, value, 2);
        while (length > 0 && digits[length - 1] == '0') --length;
        if (length > 0 && digits[length - 1] == '.') --length;
        if (length == 2 && digits[0] == '-' && digits[1] == '0') length = 1, digits[0] = '0';
        text_.append(digits, static_cast<std::size_t>(length));
        return *this;
    }
    ContentLine& integer(std::int64_t value)
    {
        char digits[24];
        text_.append(digits, static_cast<std::size_t>(formatInteger(digits, value)));
        return *this;
    }
    ContentLine& put(std::string_view piece)
    {
        text_.append(piece);
        return *this;
    }
    ContentLine& put(char c)
    {
        text_.push_back(c);
        return *this;
    }

    std::string_view view() const { return text_; }
    std::string str() const { return text_; }

private:
    std::string text_;
};

}  // namespace tabulon::pdf
