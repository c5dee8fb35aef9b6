// The literal-string encoder in its one- and two-byte forms.
#include <gtest/gtest.h>

#include "pdf_text.h"

namespace tabulon::pdf {
namespace {

std::string encoded(std::string_view text, bool twoByte)
{
    ByteBuffer buffer;
    EXPECT_TRUE(encodeText("<", ">", text, buffer, twoByte));
    return std::string(buffer.view());
}

TEST(EncodeText, EscapesOnlyTheSyntaxBytes)
{
    EXPECT_EQ(encoded("a(b)c\\", false), "<a\\(b\\)c\\\\>");
    EXPECT_EQ(encoded("\t\b\n\f\r", false), "<\\t\\b\\n\\f\\r>");
    EXPECT_EQ(encoded("\xE9\x80", false), "<\xE9\x80>");
    EXPECT_EQ(encoded(std::string("\0\x07", 2), false), std::string("<\0\x07>", 4));
}

TEST(EncodeText, TwoByteFormHasAByteOrderMarkAndAZeroBeforeEachByte)
{
    EXPECT_EQ(encoded("A", true), std::string("<\xFE\xFF\0A>", 6));
    EXPECT_EQ(encoded("(", true), std::string("<\xFE\xFF\0\\(>", 7));
    EXPECT_EQ(encoded("", true), "<\xFE\xFF>");
}

TEST(EncodeText, WorstCaseFitsTheSingleAllocation)
{
    std::string text(1000, '(');
    ByteBuffer buffer;
    ASSERT_TRUE(encodeText("p", "s", text, buffer, true));
    EXPECT_EQ(buffer.length(), 1 + 2 + 3000 + 1u);
    EXPECT_LE(buffer.length(), buffer.capacity());
}

}  // namespace
}  // namespace tabulon::pdf
