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

// A segment of `marker` holding `payload`, with its length.
std::string segment(char marker, const std::string& payload)
{
    const std::size_t length = payload.size() + 2;
    return std::string{'\xFF', marker, static_cast<char>(length >> 8), static_cast<char>(length)} + payload;
}

// A JPEG cut short is accepted and embedded byte for byte, and marked as damaged;
// one whose markers reach its end-of-image marker is not, and is embedded up to
// that marker, whatever follows it. An end-of-image marker inside a segment (an Exif thumbnail's) does not
// count, before or after the frame header.
TEST(DamagedPictures, JpegEndingBeforeItsEndOfImageIsEmbeddedAndMarked)
{
    const std::string whole = test::readFile(test::imageDataPath("jpeg/gen-baseline-restart-com.jpg"));
    const std::string progressive = test::readFile(test::imageDataPath("jpeg/jd-jpg-progressive.jpg"));
    ASSERT_EQ(whole.substr(whole.size() - 2), "\xFF\xD9");
    const std::size_t frame = whole.find("\xFF\xC0"), scan = whole.find("\xFF\xDA");
    const std::size_t frameEnd = frame + 19;  // a three-component frame header
    const std::string thumbnail = segment('\xE1', std::string("Exif\0\0\xFF\xD8\xFF\xD9", 10));
    const auto sample = [](const char* name) { return test::readFile(test::imageDataPath(std::string("jpeg/") + name)); };
    const struct {
        const char* name;
        std::string bytes;
        bool accepted, endsEarly;
        std::size_t tail = 0;  // bytes after the end-of-image marker, left out of the stream
    } cases[] = {
        {"whole", whole, true, false},
        {"whole progressive", progressive, true, false},
        {"cut in a later scan", progressive.substr(0, progressive.size() - 100), true, true},
        {"cut before the frame header", whole.substr(0, frame + 6), false, false},
        {"cut right after the frame header", whole.substr(0, frameEnd), true, true},
        {"cut after the scan header", whole.substr(0, scan + 14), true, true},
        {"cut in the scan", whole.substr(0, scan + 1000), true, true},
        {"cut before FF D9", whole.substr(0, whole.size() - 2), true, true},
        {"cut between FF and D9", whole.substr(0, whole.size() - 1), true, true},
        {"cut and zero-padded", whole.substr(0, scan + 1000) + std::string(4096, '\0'), true, true},
        {"cut at a segment and zero-padded", whole.substr(0, frameEnd) + std::string(512, '\0'), true, true},
        {"cut and FF-padded", whole.substr(0, scan + 1000) + std::string(64, '\xFF'), true, true},
        {"padding after FF D9", whole + std::string(512, '\0'), true, false, 512},
        {"junk after FF D9", whole + std::string("\xFF\xDA\x00\x08junk", 8), true, false, 8},
        {"a second picture after FF D9", whole + whole, true, false, whole.size()},
        {"cut, thumbnail before the frame", whole.substr(0, 20) + thumbnail + whole.substr(20, scan + 980), true, true},
        {"cut, thumbnail after the frame",
         whole.substr(0, frameEnd) + thumbnail + whole.substr(frameEnd, scan + 1000 - frameEnd), true, true},
        {"whole, thumbnail after the frame", whole.substr(0, frameEnd) + thumbnail + whole.substr(frameEnd), true, false},
        {"segment reaching past the end", whole.substr(0, frameEnd) + "\xFF\xFE\x10\x00\xFF\xD9", true, true},
        {"gen-truncated-baseline.jpg", sample("gen-truncated-baseline.jpg"), true, true},
        {"pil-truncated_jpeg.jpg", sample("pil-truncated_jpeg.jpg"), true, true},
        {"jd-extraneous-data.jpg", sample("jd-extraneous-data.jpg"), true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_GT(c.bytes.size(), 20u);
        const JpegResult result = parseJpeg(bytesOf(c.bytes));
        EXPECT_EQ(result.error == 0, c.accepted);
        EXPECT_EQ(result.endsEarly, c.endsEarly);
        ImageRecord record;  // loaded as the writer does, from the file's bytes in the record
        ASSERT_TRUE(record.data.append(c.bytes));
        EXPECT_EQ(loadImageData(Bytes(record.data.data(), record.data.length()), record) == 0, c.accepted);
        if (!c.accepted) continue;
        EXPECT_EQ(record.damage, c.endsEarly ? "its data ends early" : "");
        EXPECT_EQ(std::string(record.data.view()), c.bytes.substr(0, c.bytes.size() - c.tail));
        EXPECT_EQ(result.length, c.bytes.size() - c.tail);
    }
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
