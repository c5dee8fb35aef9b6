// ASCII85: results for fixed inputs, line breaks, and round trips through a decoder
// written here from the filter's definition.
#include <gtest/gtest.h>

#include <random>

#include "ascii85.h"

namespace tabulon::pdf {
namespace {

std::string encode(const std::vector<std::uint8_t>& data)
{
    ByteBuffer out;
    EXPECT_TRUE(encodeAscii85(data, out));
    return std::string(out.view());
}

// Decodes ASCII85 as a reader's ASCII85Decode filter does: white space ignored,
// "z" for four zero bytes, a final partial group of n characters padded with "u".
bool decode(const std::string& text, std::vector<std::uint8_t>& out)
{
    out.clear();
    std::uint64_t value = 0;
    int count = 0;
    std::size_t end = text.rfind("~>");
    if (end == std::string::npos) return false;
    for (std::size_t i = 0; i < end; ++i) {
        char c = text[i];
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') continue;
        if (c == 'z' && count == 0) {
            out.insert(out.end(), 4, 0);
            continue;
        }
        if (c < '!' || c > 'u') return false;
        value = value * 85 + static_cast<std::uint64_t>(c - '!');
        if (++count == 5) {
            if (value > 0xFFFFFFFFull) return false;
            for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
            value = 0;
            count = 0;
        }
    }
    if (count == 1) return false;
    if (count > 1) {
        for (int i = count; i < 5; ++i) value = value * 85 + 84;
        for (int i = 0; i < count - 1; ++i) out.push_back(static_cast<std::uint8_t>(value >> (24 - 8 * i)));
    }
    return true;
}

TEST(Ascii85, FixedInputs)
{
    EXPECT_EQ(encode({}), "~>");
    EXPECT_EQ(encode({0, 0, 0, 0}), "z~>");
    EXPECT_EQ(encode({'M', 'a', 'n', ' '}), "9jqo^~>");
    EXPECT_EQ(encode({0, 0, 0}), "!!!!~>");  // a partial group is never "z"
    std::string five = encode({'M', 'a', 'n', ' ', 'i'});
    EXPECT_EQ(five.size(), 5u + 2u + 2u);
    EXPECT_EQ(five, "9jqo^B`~>");
    EXPECT_EQ(encode({0, 0, 0, 0, 0, 0, 0, 0, 1}), "zz!<~>");
}

TEST(Ascii85, LinesHoldSeventyThreeCharacters)
{
    // 60 groups: 300 characters, lines of 73, 73, 73, 73, 8 plus the marker.
    std::vector<std::uint8_t> data(240, 0xA5);
    std::string text = encode(data);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find('\n', start)) != std::string::npos; start = at + 1) {
        lines.push_back(text.substr(start, at - start));
    }
    lines.push_back(text.substr(start));
    ASSERT_EQ(lines.size(), 5u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(lines[static_cast<std::size_t>(i)].size(), 73u);
    EXPECT_EQ(lines[4], text.substr(text.size() - 10));
    EXPECT_EQ(lines[4].size(), 8u + 2u);

    // 73 "z" characters fill one line exactly.
    EXPECT_EQ(encode(std::vector<std::uint8_t>(4 * 73, 0)), std::string(73, 'z') + "\n~>");
    // 72 characters: the marker would pass 73, so it goes on a new line.
    EXPECT_EQ(encode(std::vector<std::uint8_t>(4 * 72, 0)), std::string(72, 'z') + "\n~>");
    EXPECT_EQ(encode(std::vector<std::uint8_t>(4 * 71, 0)), std::string(71, 'z') + "~>");
}

TEST(Ascii85, RandomInputsRoundTripForEveryLengthModuloFour)
{
    std::mt19937 random(1234);
    for (std::size_t length = 0; length < 400; ++length) {
        std::vector<std::uint8_t> data(length);
        for (std::uint8_t& byte : data) {
            // Runs of zeros now and then, to exercise "z".
            byte = random() % 4 == 0 ? 0 : static_cast<std::uint8_t>(random());
        }
        std::string text = encode(data);
        std::vector<std::uint8_t> back;
        ASSERT_TRUE(decode(text, back)) << length;
        EXPECT_EQ(back, data) << "length " << length << " (mod 4 = " << length % 4 << ")";
        std::size_t column = 0;
        for (char c : text) {
            column = c == '\n' ? 0 : column + 1;
            ASSERT_LE(column, 73u);
        }
    }
}

}  // namespace
}  // namespace tabulon::pdf
