// A JPEG frame header's sample precision becomes the image's bits per
// component: only 8 and 12 are accepted, anything else (0 or 255 in damaged
// files) is refused rather than written as an image no reader can decode.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "jpeg_header.h"

namespace {

std::vector<std::uint8_t> jpegWithPrecision(std::uint8_t precision)
{
    return {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0,
            0xFF, 0xC0, 0x00, 0x0B, precision, 0x00, 0x10, 0x00, 0x20, 0x01, 0x01, 0x11, 0x00,
            0xFF, 0xD9};
}

TEST(JpegFrameHeader, AcceptsOnlyEightAndTwelveBitSamples)
{
    const struct {
        std::uint8_t precision;
        bool accepted;
    } cases[] = {{8, true}, {12, true}, {0, false}, {1, false}, {7, false}, {16, false}, {255, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.precision));
        std::vector<std::uint8_t> bytes = jpegWithPrecision(c.precision);
        tabulon::pdf::JpegResult result = tabulon::pdf::parseJpeg(bytes);
        EXPECT_EQ(result.error == 0, c.accepted);
        if (c.accepted) {
            EXPECT_EQ(result.header.bitsPerComponent, c.precision);
            EXPECT_EQ(result.header.width, 32);
            EXPECT_EQ(result.header.height, 16);
        }
    }
}

}  // namespace
