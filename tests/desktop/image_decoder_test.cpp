#include <cstdio>
#include <vector>

#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>

#include "decoded_image.h"

using namespace tabulon::platform;

namespace {

// A 4 x 2 picture: left half red, right half blue.
std::vector<std::uint8_t> testPixels(int components)
{
    std::vector<std::uint8_t> px;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            const bool left = x < 2;
            px.insert(px.end(), {std::uint8_t(left ? 255 : 0), 0, std::uint8_t(left ? 0 : 255)});
            if (components == 4) {
                px.push_back(255);
            }
        }
    }
    return px;
}

std::vector<std::uint8_t> encodePng()
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = 4;
    png.height = 2;
    png.format = PNG_FORMAT_RGBA;
    const auto px = testPixels(4);
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&png, nullptr, &size, 0, px.data(), 0, nullptr);
    std::vector<std::uint8_t> out(size);
    png_image_write_to_memory(&png, out.data(), &size, 0, px.data(), 0, nullptr);
    out.resize(size);
    return out;
}

std::vector<std::uint8_t> encodeJpeg()
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = 4;
    info.image_height = 2;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    auto px = testPixels(3);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = px.data() + info.next_scanline * 12;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

}  // namespace

TEST(ImageDecoder, DecodesJpegAndPngToRgbaBySignature)
{
    for (const auto& data : {encodeJpeg(), encodePng()}) {
        const auto image = decodeImage(data);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width, 4);
        EXPECT_EQ(image->height, 2);
        ASSERT_EQ(image->rgba.size(), 32u);
        // Top-left red, bottom-right blue (JPEG within its loss), opaque.
        EXPECT_GT(image->rgba[0], 200);
        EXPECT_LT(image->rgba[2], 60);
        EXPECT_GT(image->rgba[7 * 4 + 2], 200);
        EXPECT_LT(image->rgba[7 * 4 + 0], 60);
        EXPECT_EQ(image->rgba[3], 255);
    }
}

TEST(ImageDecoder, RefusesTruncatedAndForeignData)
{
    const auto jpeg = encodeJpeg();
    const auto png = encodePng();
    const std::vector<std::vector<std::uint8_t>> bad = {
        {},
        {0xFF, 0xD8, 0xFF},
        std::vector<std::uint8_t>(jpeg.begin(), jpeg.begin() + 40),
        std::vector<std::uint8_t>(png.begin(), png.begin() + 30),
        {'G', 'I', 'F', '8', '9', 'a', 0, 0},
    };
    for (const auto& data : bad) {
        EXPECT_FALSE(decodeImage(data)) << data.size() << " bytes";
    }
}

TEST(ImageDecoder, MissingFileGivesNothing)
{
    EXPECT_FALSE(loadImageFile("/nonexistent/printlogo.jpg"));
}
