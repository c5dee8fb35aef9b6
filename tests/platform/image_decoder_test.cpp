#include <cstdio>
#include <vector>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <sys/resource.h>
#include <zlib.h>
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

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
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

// A header may claim tens of megapixels in a file of a few bytes; decoding that
// would allocate and fill the whole picture from nothing (the preview's fuzzer
// found a 91-byte JPEG claiming 7178 x 6684 that took seconds). Such data is
// refused before anything is allocated.
TEST(ImageDecoder, RefusesHeadersClaimingMoreThanTheDataCanHold)
{
    const std::vector<std::uint8_t> jpeg = {
        0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x00, 0x08, 0x06, 0x06, 0xD1, 0x06, 0x08, 0x07, 0x07, 0x07, 0x24,
        0x2E, 0x27, 0x20, 0x22, 0x2C, 0x23, 0x06, 0xD1, 0x06, 0x08, 0x07, 0x07, 0x07, 0x24, 0x2E, 0x27, 0x20, 0x22,
        0x2C, 0x23, 0x1C, 0x1C, 0x28, 0x34, 0x29, 0x09, 0x6D, 0x09, 0x08, 0x14, 0x1D, 0x1A, 0x1F, 0x1C, 0x1C, 0x28,
        0x32, 0x29, 0x2C, 0xCC, 0xCE, 0xDF, 0xDD, 0xD3, 0xDC, 0xE3, 0xE3, 0x28, 0x29, 0x2C, 0x30, 0x31, 0x32, 0xFF,
        0xC0, 0x00, 0x0B, 0x08, 0x1A, 0x1C, 0x1C, 0x0A, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01,
        0x00,
    };
    EXPECT_FALSE(decodeJpeg(jpeg));

    // A 13 x 7 PNG whose chunk after IHDR claims 1.9 GB in 108 bytes (the
    // fuzzer's find): refused before libpng allocates the chunk.
    const std::vector<std::uint8_t> chunk = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
        0x00, 0x0D, 0x00, 0x00, 0x00, 0x07, 0x01, 0x03, 0x00, 0x00, 0x00, 0xE9, 0xBE, 0x55, 0x59, 0x00, 0x00, 0x00,
        0x06, 0x73, 0x73, 0x73, 0x73, 0x73, 0x73, 0x73, 0x73, 0x73, 0x73, 0x73, 0x73, 0x73, 0x73, 0x73, 0x73, 0x73,
        0x73, 0x73, 0x50, 0x4C, 0x54, 0x45, 0x00, 0x28, 0xFF, 0x61, 0x5D, 0xE0, 0x6C, 0xD9, 0xBB, 0x8D, 0x00, 0x00,
        0x00, 0x1A, 0x49, 0x44, 0x41, 0x54, 0x78, 0xDA, 0x63, 0x08, 0x0D, 0x60, 0x0C, 0xFD, 0xCD, 0xC4, 0xC0, 0xC0,
        0xAC, 0xFD, 0x8F, 0x85, 0x81, 0x81, 0x01, 0xCC, 0x05, 0x00, 0x32, 0xCC, 0x05, 0x1F, 0xE8, 0xCB, 0x00, 0x51,
    };
    const long beforeChunk = peakKilobytes();
    EXPECT_FALSE(decodePng(chunk));
    EXPECT_LT(peakKilobytes() - beforeChunk, 64 * 1024);

    // The 4 x 2 test PNG with its header claiming 8000 x 8000.
    std::vector<std::uint8_t> png = encodePng();
    const std::uint8_t size[8] = {0, 0, 0x1F, 0x40, 0, 0, 0x1F, 0x40};
    std::copy(std::begin(size), std::end(size), png.begin() + 16);
    const uLong crc = crc32(0, png.data() + 12, 17);  // IHDR's type and data
    for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    const long before = peakKilobytes();
    EXPECT_FALSE(decodePng(png));
    // Refused before the 256 MB picture was allocated, not after libpng ran dry.
    EXPECT_LT(peakKilobytes() - before, 64 * 1024);
    // Small pictures in small files still decode.
    EXPECT_TRUE(decodeJpeg(encodeJpeg()));
    EXPECT_TRUE(decodePng(encodePng()));
}

// The picture fuzzer's generated seeds hold one 13 x 7 picture in every JPEG
// process (baseline, progressive, arithmetic, restart markers, grey, Adobe CMYK)
// and every PNG colour type, bit depth and interlacing: each decodes whole, grey
// stays grey, and CMYK comes out in the colours of the RGB original.
TEST(ImageDecoder, DecodesEveryCodingOfTheFuzzSeeds)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(TABULON_FUZZ_DIR) / "corpus" / "picture_decoder";
    const auto pixel = [](const DecodedImage& image, int x, int y) {
        const std::uint8_t* p = &image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4];
        return std::vector<int>{p[0], p[1], p[2], p[3]};
    };
    const auto load = [](const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        return decodeImage(bytes);
    };
    const auto reference = load(folder / "gen-baseline-444.jpg");
    ASSERT_TRUE(reference);
    int seeds = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("gen-", 0) != 0 || name == "gen-no-sof.jpg") continue;
        SCOPED_TRACE(name);
        ++seeds;
        const auto image = load(entry.path());
        ASSERT_TRUE(image);
        ASSERT_EQ(image->width, 13);
        ASSERT_EQ(image->height, 7);
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 13; ++x) {
                const std::vector<int> p = pixel(*image, x, y);
                if (name.find("grey") != std::string::npos) {
                    ASSERT_TRUE(p[0] == p[1] && p[1] == p[2]) << x << "," << y;
                }
                if (name.find("cmyk") != std::string::npos) {
                    const std::vector<int> want = pixel(*reference, x, y);
                    for (int c = 0; c < 4; ++c) ASSERT_NEAR(p[c], want[c], 40) << x << "," << y;
                }
            }
        }
    }
    EXPECT_GE(seeds, 30);
}

TEST(ImageDecoder, MissingFileGivesNothing)
{
    EXPECT_FALSE(loadImageFile("/nonexistent/printlogo.jpg"));
}
