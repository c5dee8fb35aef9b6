// Buffer growth keeps capacities in 2048-byte steps and never loses contents.
#include <gtest/gtest.h>

#include <string>

#include "byte_buffer.h"

namespace tabulon::pdf {
namespace {

class Growth : public ::testing::TestWithParam<BufferGrowth> {
protected:
    void SetUp() override { setBufferGrowth(GetParam()); }
    void TearDown() override { setBufferGrowth(BufferGrowth::Exact); }
};

TEST_P(Growth, CapacityStaysAMultipleOf2048AndContentsSurvive)
{
    ByteBuffer buffer;
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        std::string piece = std::to_string(i) + (i % 7 == 0 ? std::string(3000, 'x') : "-");
        ASSERT_TRUE(buffer.append(piece));
        expected += piece;
        ASSERT_EQ(buffer.capacity() % kBufferStep, 0u);
        ASSERT_GE(buffer.capacity(), buffer.length());
    }
    EXPECT_EQ(buffer.view(), expected);
}

INSTANTIATE_TEST_SUITE_P(BothPolicies, Growth, ::testing::Values(BufferGrowth::Exact, BufferGrowth::Geometric),
                         [](const ::testing::TestParamInfo<BufferGrowth>& info) {
                             return info.param == BufferGrowth::Exact ? "Exact" : "Geometric";
                         });

TEST(ByteBuffer, ExactGrowthTakesTheNextStepOnly)
{
    ByteBuffer buffer;
    ASSERT_TRUE(buffer.ensureCapacity(2048));
    EXPECT_EQ(buffer.capacity(), 2048u);
    ASSERT_TRUE(buffer.append(std::string(2049, 'a')));
    EXPECT_EQ(buffer.capacity(), 4096u);
    ASSERT_TRUE(buffer.ensureCapacity(4097));
    EXPECT_EQ(buffer.capacity(), 6144u);
    EXPECT_EQ(buffer.length(), 2049u);
}

TEST(ByteBuffer, ImpossibleGrowthFailsAndKeepsTheOldMemory)
{
    ByteBuffer buffer;
    ASSERT_TRUE(buffer.append("abc"));
    EXPECT_FALSE(buffer.ensureCapacity(SIZE_MAX - 4096));
    EXPECT_EQ(buffer.view(), "abc");
}

}  // namespace
}  // namespace tabulon::pdf
