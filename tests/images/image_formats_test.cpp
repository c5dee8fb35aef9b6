// The format readers on damaged and hostile input: every read stays inside the
// data, every walk ends, and each failure has its format's code.
#include <gtest/gtest.h>

#include <random>

#include "image_fixtures.h"
#include "image_loader.h"
#include "jpeg_header.h"
#include "jpx_header.h"
#include "pdf_check.h"
#include "pdf_writer.h"
#include "png_header.h"
#include "wmf_converter.h"

namespace tabulon::pdf {
namespace {

Bytes bytesOf(const std::string& s) { return Bytes(reinterpret_cast<const std::uint8_t*>(s.data()), s.size()); }

std::int32_t load(const std::string& bytes)
{
    ImageRecord record;
    return loadImageData(bytesOf(bytes), record);
}

// Every cut of a valid file fails with the format's code (or loads, for a cut
// that keeps everything the reader needs); none reads past the end (the
// sanitizer build would stop on that) or hangs.
TEST(DamagedPictures, EveryTruncationFailsWithItsFormatCode)
{
    struct Case {
        std::string name;
        std::string bytes;
        std::vector<std::int32_t> codes;
    } cases[] = {
        {"jpeg", test::jpegHeaderOnly(0xFFC0, 30, 20, 3), {kNotJpeg, kUnknownImage}},
        {"png", test::makePng(3, 5, 3, 4, 1), {kPngIncorrect, kUnknownImage}},
        {"wmf", test::makeWmf(0, 0, 100, 100, 1440, {{0x041B, {90, 90, 10, 10}}}), {kMetafile, kUnknownImage}},
        {"jpx", test::readFile(test::imageDataPath("jpeg2000/gen-grey16.j2k")), {kImageRead, kUnknownImage}},
    };
    for (const Case& c : cases) {
        ASSERT_FALSE(c.bytes.empty()) << c.name;
        EXPECT_EQ(load(c.bytes), 0) << c.name;
        for (std::size_t cut = 0; cut < std::min<std::size_t>(c.bytes.size(), 200); ++cut) {
            const std::int32_t code = load(c.bytes.substr(0, cut));
            if (code == 0) continue;  // e.g. a metafile cut right before its EOF record
            EXPECT_NE(std::find(c.codes.begin(), c.codes.end(), code), c.codes.end())
                << c.name << " cut at " << cut << " gave " << code;
        }
    }
}

TEST(DamagedPictures, JpegSegmentLengthsZeroAndOneStillAdvance)
{
    for (const char* length : {"\x00\x00", "\x00\x01", "\xFF\xFF"}) {
        std::string jpeg = std::string("\xFF\xD8\xFF\xE0", 4) + std::string(length, 2) + std::string(64, '\xFE');
        const JpegResult result = parseJpeg(bytesOf(jpeg));
        EXPECT_EQ(result.error, kJpegUnsupported);
        EXPECT_EQ(load(jpeg), kNotJpeg);
    }
    // A frame header with size 0 (size in a later DNL marker) or 2 components.
    EXPECT_EQ(load(test::jpegHeaderOnly(0xFFC0, 0, 10, 3)), kNotJpeg);
    EXPECT_EQ(load(test::jpegHeaderOnly(0xFFC0, 10, 10, 2)), kNotJpeg);
    // Lossless and arithmetic frames are not embedded; progressive and extended are.
    EXPECT_EQ(load(test::jpegHeaderOnly(0xFFC3, 10, 10, 1)), kNotJpeg);
    EXPECT_EQ(load(test::jpegHeaderOnly(0xFFC9, 10, 10, 3)), kNotJpeg);
    EXPECT_EQ(load(test::jpegHeaderOnly(0xFFC2, 10, 10, 3)), 0);
    EXPECT_EQ(load(test::jpegHeaderOnly(0xFFC1, 10, 10, 3)), 0);
}

std::string pngWithHeader(std::uint32_t width, int depth, int colourType, int interlace)
{
    std::string png = test::makePng(colourType == 3 ? 3 : 0, 2, 2, 2, 0);
    png[16] = static_cast<char>(width >> 24), png[17] = static_cast<char>(width >> 16);
    png[18] = static_cast<char>(width >> 8), png[19] = static_cast<char>(width);
    png[24] = static_cast<char>(depth), png[25] = static_cast<char>(colourType), png[28] = static_cast<char>(interlace);
    return png;
}

TEST(DamagedPictures, PngHeaderFieldsGiveTheirCodes)
{
    struct Case {
        std::string bytes;
        std::int32_t code;
    } cases[] = {
        {pngWithHeader(2, 16, 0, 0), kPng16Bit},
        {pngWithHeader(2, 8, 6, 0), kPngAlpha},
        {pngWithHeader(2, 8, 4, 0), kPngAlpha},
        {pngWithHeader(2, 8, 0, 1), kPngInterlace},
        {pngWithHeader(2, 3, 0, 0), kPngIncorrect},   // no such depth
        {pngWithHeader(2, 4, 2, 0), kPngIncorrect},   // RGB below 8 bits
        {pngWithHeader(0, 8, 0, 0), kPngIncorrect},   // no width
        {pngWithHeader(0x80000000u, 8, 0, 0), kPngIncorrect},
        {pngWithHeader(0x7FFFFFFFu, 8, 0, 0), kPngIncorrect},  // a huge claim, refused before any allocation
        {test::makePng(3, 2, 2, 0, 0).replace(37, 4, "pLTE"), kPngPalette},
    };
    for (const Case& c : cases) EXPECT_EQ(load(c.bytes), c.code);
    std::string compression = pngWithHeader(2, 8, 0, 0), filter = compression;
    compression[26] = 1, filter[27] = 1;
    EXPECT_EQ(load(compression), kPngCompression);
    EXPECT_EQ(load(filter), kPngFilter);
}

TEST(DamagedPictures, PngChunkClaimingMoreThanTheFileFails)
{
    std::string png = test::makePng(0, 2, 2, 0, 0);
    const std::size_t idat = png.find("IDAT") - 4;
    png.replace(idat, 4, std::string("\x7F\xFF\xFF\xF0", 4));
    PngImage image;
    EXPECT_EQ(parsePng(bytesOf(png), image).error, kPngIncorrect);
    EXPECT_FALSE(image.data.allocated());
}

TEST(DamagedPictures, PngEmptyIdatBetweenOthersKeepsTheRest)
{
    std::string png = test::makePng(0, 2, 2, 0, 0);
    const std::size_t idat = png.find("IDAT") - 4;
    png.insert(idat, std::string("\0\0\0\0IDAT\x35\xAF\x06\x1E", 12));
    PngImage image;
    ASSERT_EQ(parsePng(bytesOf(png), image).error, 0);
    EXPECT_GT(image.data.length(), 0u);
}

TEST(DamagedPictures, JpxSizFieldsAreChecked)
{
    std::string j2k = test::readFile(test::imageDataPath("jpeg2000/gen-rgb8-offset-7-5.j2k"));
    JpxResult result = parseJpx(bytesOf(j2k));
    ASSERT_EQ(result.error, 0);
    EXPECT_EQ(result.header.width, 160);
    EXPECT_EQ(result.header.height, 120);
    EXPECT_EQ(result.header.colorSpace, "DeviceRGB");
    EXPECT_EQ(parseJpx(bytesOf(test::readFile(test::imageDataPath("jpeg2000/gen-grey8.j2k")))).header.colorSpace,
              "DeviceGray");
    EXPECT_EQ(load(test::readFile(test::imageDataPath("jpeg2000/pil-zero_height.j2k"))), kImageRead);
    EXPECT_EQ(load(test::readFile(test::imageDataPath("jpeg2000/pil-unknown_mode.j2k"))), kImageRead);
    EXPECT_EQ(load(test::readFile(test::imageDataPath("jpeg2000/gen-rgb8.jp2"))), kUnknownImage);
}

TEST(DamagedPictures, MetafileRecordsAreCheckedAgainstTheData)
{
    using R = test::WmfRecord;
    const R rect{0x041B, {90, 90, 10, 10}};
    struct Case {
        const char* what;
        std::string bytes;
        std::int32_t code;
    } cases[] = {
        {"empty box", test::makeWmf(0, 0, 0, 100, 1440, {rect}), kMetafile},
        {"nothing drawn", test::makeWmf(0, 0, 100, 100, 1440, {{0x0521, {1, 0x4141, 5, 5}}}), kMetafile},
        {"short rectangle", test::makeWmf(0, 0, 100, 100, 1440, {{0x041B, {90, 90}}}), kMetafile},
        {"polygon claims 30000 points", test::makeWmf(0, 0, 100, 100, 1440, {{0x0324, {30000, 1, 1}}}), kMetafile},
        {"polypolygon claims too much", test::makeWmf(0, 0, 100, 100, 1440, {{0x0538, {2, 3, 30000, 1, 1}}}), kMetafile},
        {"zero-point polygon skipped", test::makeWmf(0, 0, 100, 100, 1440, {{0x0324, {0}}, rect}), 0},
        {"unknown records skipped", test::makeWmf(0, 0, 100, 100, 1440, {{0x0626, {1, 2, 3}}, rect}), 0},
        {"select and delete out of range",
         test::makeWmf(0, 0, 100, 100, 1440, {{0x012D, {999}}, {0x01F0, {-1}}, {0x0127, {-5}}, rect}), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(load(c.bytes), c.code) << c.what;

    std::string sizes = test::makeWmf(0, 0, 100, 100, 1440, {rect});
    for (std::uint32_t words : {0u, 1u, 2u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        std::string damaged = sizes;
        for (int i = 0; i < 4; ++i) damaged[40 + i] = static_cast<char>(words >> (8 * i));
        EXPECT_EQ(load(damaged), kMetafile) << words;
    }
    std::string header = sizes;
    header[24] = 5;  // header size not 9 words
    EXPECT_EQ(load(header), kMetafile);
}

// Seeded random damage to real samples: whatever the bytes, the readers end with a
// picture or an error code (under the sanitizer build, without a bad read).
TEST(DamagedPictures, RandomDamageToSamplesEndsWithAResult)
{
    std::mt19937 random(7);
    for (const char* sample : {"pngsuite/basn3p04.png", "png-extra/gen-rgb8-idat-1000.png", "jpeg/jd-jpg-progressive.jpg",
                               "jpeg/pil-icc-after-SOF.jpg", "jpeg2000/gen-grey16.j2k", "wmf/pil-drawing.wmf",
                               "wmf/im-clock.wmf", "wmf/poi-60677.wmf"}) {
        const std::string original = test::readFile(test::imageDataPath(sample));
        if (original.empty()) continue;
        for (int round = 0; round < 300; ++round) {
            std::string damaged = original.substr(0, original.size() - random() % std::min<std::size_t>(original.size(), 64));
            const int flips = 1 + static_cast<int>(random() % 8);
            for (int i = 0; i < flips && !damaged.empty(); ++i) {
                // Damage the first bytes most: that is where the headers and lengths are.
                const std::size_t at = random() % 2 ? random() % std::min<std::size_t>(damaged.size(), 128)
                                                    : random() % damaged.size();
                damaged[at] = static_cast<char>(random());
            }
            const std::int32_t code = load(damaged);
            EXPECT_TRUE((code >= 0 && code <= 14) || code == kOutOfMemory) << sample << " round " << round;
        }
    }
}

TEST(DamagedPictures, UnknownSignaturesAndUnreadableFiles)
{
    EXPECT_EQ(load(""), kUnknownImage);
    EXPECT_EQ(load(std::string("\xFF\xD8\xFF\xE1\x00\x10", 6)), kUnknownImage);  // Exif first
    EXPECT_EQ(load(std::string("\x01\x00\x09\x00\x00\x03", 6)), kUnknownImage);  // metafile without placeable header
    ImageRecord record;
    EXPECT_EQ(readImageFile("/nonexistent/x.png", record), kImageOpen);
    EXPECT_EQ(readImageFile(test::tempFolder(), record), kImageOpen);  // a folder
}

}  // namespace
}  // namespace tabulon::pdf
