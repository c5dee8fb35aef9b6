// The writer refuses a JPEG, PNG or JPEG 2000 file whose data cannot hold the
// picture its header claims, and takes one that has just enough.
#include <gtest/gtest.h>

#include "claim_files.h"
#include "image_loader.h"
#include "image_record.h"
#include "pdf_writer.h"

namespace tabulon::test {
namespace {

std::int32_t load(const std::string& bytes)
{
    pdf::ImageRecord record;
    return pdf::loadImageData(pdf::Bytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
                              record);
}

TEST(PictureClaims, JpegNeedsOneBitPerLargestMcu)
{
    // 30,000 x 30,000 is 938 x 938 MCUs of 32 x 32 pixels: 109,981 bytes at least.
    const std::size_t header = claimingJpeg(30000, 30000, 0).size();
    EXPECT_EQ(load(claimingJpeg(30000, 30000, 109981 - header)), 0);
    EXPECT_EQ(load(claimingJpeg(30000, 30000, 109980 - header)), pdf::kNotJpeg);
    EXPECT_EQ(load(claimingJpeg(65535, 65535, 16)), pdf::kNotJpeg);
    EXPECT_EQ(load(claimingJpeg(640, 480, 0)), 0);  // any real header holds a small picture
}

TEST(PictureClaims, PngNeedsItsRowsOver1032)
{
    // 1,000 rows of 1 + 3,000 bytes: 3,001,000 bytes, so 2,908 bytes of data at least.
    EXPECT_EQ(load(claimingPngWithIdat(1000, 1000, 2908)), 0);
    EXPECT_EQ(load(claimingPngWithIdat(1000, 1000, 2907)), pdf::kPngIncorrect);
    EXPECT_EQ(load(claimingPngWithIdat(0x7FFFFFFF, 0x7FFFFFFF, 4096)), pdf::kPngIncorrect);
    EXPECT_EQ(load(claimingPng(30000, 30000, 1000)), pdf::kPngIncorrect);
}

TEST(PictureClaims, JpxNeedsCodingStyleQuantizationAndATile)
{
    const std::string cod = std::string("\xFF\x52\x00\x0C", 4) + std::string(10, '\x01');
    const std::string qcd = std::string("\xFF\x5C\x00\x04", 4) + std::string(2, '\x01');
    const std::string com = std::string("\xFF\x64\x00\x05", 4) + "abc";
    const std::string sot = std::string("\xFF\x90\x00\x0A", 4) + std::string(8, '\0');
    struct Case {
        const char* name;
        std::string segments;
        std::int32_t code;
    } cases[] = {
        {"all three", cod + qcd + sot, 0},
        {"a comment between", cod + com + qcd + sot, 0},
        {"no COD", qcd + sot, pdf::kImageRead},
        {"no QCD", cod + sot, pdf::kImageRead},
        {"no tile", cod + qcd, pdf::kImageRead},
        {"nothing", "", pdf::kImageRead},
        {"a segment length of 1", std::string("\xFF\x52\x00\x01", 4) + qcd + sot, pdf::kImageRead},
        {"a segment past the end", cod + std::string("\xFF\x5C\xFF\xFF", 4), pdf::kImageRead},
        {"bytes that are no marker", cod + qcd + "\x12\x34" + sot, pdf::kImageRead},
    };
    for (const Case& c : cases) EXPECT_EQ(load(claimingJpx(30000, 30000, c.segments)), c.code) << c.name;
}

}  // namespace
}  // namespace tabulon::test
