// The real sample files: every PngSuite, JPEG, JPEG 2000 and metafile sample is
// accepted or rejected with its code, and what is accepted renders in a reader.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <dirent.h>
#include <map>

#include "image_fixtures.h"
#include "pdf_check.h"
#include "pdf_writer.h"
#include "rendered_pixels.h"

namespace tabulon::pdf {
namespace {

std::vector<std::string> filesIn(const std::string& folder, const std::string& suffix)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(test::imageDataPath(folder).c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
                names.push_back(name);
            }
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// One picture on a page of its own pixel size plus `margin` points all round, so
// that pdftoppm at 72 dpi gives one page pixel per picture pixel.
struct PlacedPicture {
    std::int32_t code = 0;
    std::string pdfPath;
    std::string pdf;
};

PlacedPicture placeAlone(const std::string& path, int width, int height, int margin, const std::string& name,
                         bool greyUnder = false)
{
    ::setenv("SOURCE_DATE_EPOCH", "0", 1);
    PdfWriter writer;
    writer.initialize();
    writer.create("P", "pt", std::to_string(width + 2 * margin) + "," + std::to_string(height + 2 * margin));
    writer.addPage("", "");
    if (greyUnder) {
        writer.setFillColor(128, 128, 128);
        writer.rect(static_cast<float>(margin), static_cast<float>(margin), static_cast<float>(width),
                    static_cast<float>(height), "F");
    }
    writer.image(path, static_cast<float>(margin), static_cast<float>(margin), static_cast<float>(width),
                 static_cast<float>(height), 0);
    PlacedPicture placed;
    placed.code = writer.errorCode();
    writer.close();
    placed.pdf = std::string(writer.bytes());
    placed.pdfPath = test::writeTempFile(name + ".pdf", placed.pdf);
    return placed;
}

// The picture's size as the writer read it (pixels, or metafile units).
bool pictureSize(const std::string& path, int& width, int& height, std::int32_t& code)
{
    PdfWriter writer;
    writer.initialize();
    writer.create("P", "pt", "");
    writer.addPage("", "");
    writer.image(path, 0, 0, 0, 0, 0);
    code = writer.errorCode();
    if (code != 0 || writer.document().images.empty()) return false;
    width = writer.document().images[0].width;
    height = writer.document().images[0].height;
    return true;
}

// pdftoppm resamples a picture drawn at exactly one device pixel per picture pixel
// with a slight drift, so pages are rendered at kScale times that and each picture
// pixel is read at the centre of its kScale x kScale block.
constexpr int kScale = 4;

// Largest per-channel difference and the mean difference between a rendered page
// and a picture; `offset` is where the picture starts on the page, in points.
void difference(const test::RgbPixels& a, int offset, const test::RgbPixels& b, int& largest, double& mean)
{
    largest = 0;
    long long total = 0;
    for (int y = 0; y < b.height; ++y) {
        for (int x = 0; x < b.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                const int d = std::abs(a.at((x + offset) * kScale + kScale / 2, (y + offset) * kScale + kScale / 2)[c] -
                                     b.at(x, y)[c]);
                largest = std::max(largest, d);
                total += d;
            }
        }
    }
    mean = static_cast<double>(total) / (3.0 * b.width * b.height);
}

// The code the rules give each PngSuite file: from its name for the well-formed
// ones (interlace letter, colour type, depth), from this table for the broken x*.
std::int32_t expectedPngSuiteCode(const std::string& name)
{
    static const std::map<std::string, std::int32_t> broken = {
        {"xc1n0g08.png", kPngAlpha},     {"xc9n2c08.png", kPngAlpha},     {"xcrn0g04.png", kPngIncorrect},
        {"xcsn0g01.png", 0},             {"xd0n2c08.png", kPngIncorrect}, {"xd3n2c08.png", kPngIncorrect},
        {"xd9n2c08.png", kPng16Bit},     {"xdtn0g01.png", kPngIncorrect}, {"xhdn0g08.png", 0},
        {"xlfn0g04.png", kPngIncorrect}, {"xs1n0g01.png", kUnknownImage}, {"xs2n0g01.png", kUnknownImage},
        {"xs4n0g01.png", kUnknownImage}, {"xs7n0g01.png", kPngIncorrect},
    };
    if (auto it = broken.find(name); it != broken.end()) return it->second;
    const int depth = std::atoi(name.substr(6, 2).c_str());
    const char type = name[4];
    if (depth > 8) return kPng16Bit;
    if (type == '4' || type == '6') return kPngAlpha;
    if (name[3] == 'i') return kPngInterlace;
    return 0;
}

void expectRendersLikeLibpng(const std::string& path, const std::string& name)
{
    test::RgbPixels original, page;
    ASSERT_TRUE(test::decodePng(path, original)) << name;
    PlacedPicture placed = placeAlone(path, original.width, original.height, 0, name);
    ASSERT_EQ(placed.code, 0) << name;
    std::string report;
    EXPECT_TRUE(test::qpdfAccepts(placed.pdfPath, &report)) << name << report;
    std::string messages;
    ASSERT_TRUE(test::renderPage(placed.pdfPath, 72 * kScale, page, &messages)) << name;
    EXPECT_EQ(messages, "") << name;
    ASSERT_EQ(page.width, original.width * kScale) << name;
    ASSERT_EQ(page.height, original.height * kScale) << name;
    int largest = 0;
    double mean = 0;
    difference(page, 0, original, largest, mean);
    EXPECT_LE(largest, 2) << name;
}

TEST(PngSamples, PngSuiteFilesAreEmbeddedOrRejectedWithTheirCode)
{
    int accepted = 0, rejected = 0;
    for (const std::string& name : filesIn("pngsuite", ".png")) {
        const std::string path = test::imageDataPath("pngsuite/" + name);
        int width = 0, height = 0;
        std::int32_t code = 0;
        pictureSize(path, width, height, code);
        ASSERT_EQ(code, expectedPngSuiteCode(name)) << name;
        if (code != 0) {
            ++rejected;
            continue;
        }
        ++accepted;
        expectRendersLikeLibpng(path, name);
    }
    // 175 files: the 92 the rules accept, the two with only a damaged CRC, and
    // 81 rejected (from the 83 above, the two CRC files).
    EXPECT_EQ(accepted, 94);
    EXPECT_EQ(rejected, 81);
}

TEST(PngSamples, GeneratedFilesWithSplitAndEmptyIdatRenderLikeLibpng)
{
    const std::map<std::string, std::int32_t> rejects = {
        {"gen-rgb16.png", kPng16Bit}, {"gen-rgba8.png", kPngAlpha}, {"gen-rgb8-interlaced.png", kPngInterlace}};
    for (const std::string& name : filesIn("png-extra", ".png")) {
        const std::string path = test::imageDataPath("png-extra/" + name);
        int width = 0, height = 0;
        std::int32_t code = 0;
        pictureSize(path, width, height, code);
        auto reject = rejects.find(name);
        EXPECT_EQ(code, reject == rejects.end() ? 0 : reject->second) << name;
        if (code == 0) expectRendersLikeLibpng(path, name);
    }
}

// Renders a JPEG or JPEG 2000 sample at its pixel size with a 10-point margin and
// compares it with the same file decoded by ImageMagick: the picture's pixels are
// where it was placed and the margin stays white.
// A negative tolerance skips the pixel comparison (the reference decoder reads the
// file differently), keeping the checks of place and margin.
void expectRendersAtItsPlace(const std::string& folder, const std::string& name, double meanTolerance)
{
    const std::string path = test::imageDataPath(folder + "/" + name);
    int width = 0, height = 0;
    std::int32_t code = 0;
    ASSERT_TRUE(pictureSize(path, width, height, code)) << name;
    PlacedPicture placed = placeAlone(path, width, height, 10, name);
    std::string report;
    EXPECT_TRUE(test::qpdfAccepts(placed.pdfPath, &report)) << name << report;
    test::RgbPixels page, reference;
    std::string messages;
    ASSERT_TRUE(test::renderPage(placed.pdfPath, 72 * kScale, page, &messages)) << name;
    ASSERT_EQ(page.width, (width + 20) * kScale) << name;
    const std::string decoded = test::tempFolder() + "/" + name + "-im.png";
    ASSERT_EQ(test::runCommand("/usr/bin/convert '" + path + "[0]' -colorspace sRGB -type TrueColor 'PNG24:" + decoded +
                               "' 2>/dev/null").status,
              0)
        << name;
    ASSERT_TRUE(test::decodePng(decoded, reference)) << name;
    int largest = 0;
    double mean = 0;
    if (meanTolerance >= 0) {
        ASSERT_EQ(reference.width, width) << name;
        difference(page, 10, reference, largest, mean);
        EXPECT_LE(mean, meanTolerance) << name << " largest difference " << largest;
    }
    int ink = 0;
    for (int y = 10 * kScale; y < (10 + height) * kScale; ++y) {
        for (int x = 10 * kScale; x < (10 + width) * kScale; ++x) ink += page.at(x, y)[0] != 255 || page.at(x, y)[2] != 255;
    }
    EXPECT_GT(ink, 0) << name;
    for (int x = 0; x < page.width; ++x) {
        for (int y : {0, 5 * kScale, page.height - 1}) {
            const std::uint8_t* p = page.at(x, y);
            ASSERT_TRUE(p[0] == 255 && p[1] == 255 && p[2] == 255) << name << " ink outside at " << x << "," << y;
        }
    }
}

TEST(JpegSamples, EachSampleIsAcceptedOrRejectedAsTheRulesSay)
{
    // Files not listed here are accepted as three-component DeviceRGB.
    const std::map<std::string, std::int32_t> rejected = {
        {"gen-arith-sof10-rgb.jpg", kNotJpeg}, {"gen-arith-sof9-grey.jpg", kNotJpeg},
        {"gen-arith-sof9-rgb.jpg", kNotJpeg},  {"ljt-testimgari.jpg", kNotJpeg},
        {"jd-jpeg_lossless_sel1.jpg", kNotJpeg}, {"gen-no-sof.jpg", kNotJpeg},
        {"jd-MR4.jpg", kUnknownImage},          {"pil-app13.jpg", kUnknownImage},
        {"gen-exif-first.jpg", kUnknownImage},  {"pil-flower2.jpg", kUnknownImage},
        {"pil-pil_sample_cmyk.jpg", kUnknownImage}, {"gen-ycck-adobe-first.jpg", kUnknownImage},
        {"gen-rgb-adobe-first.jpg", kUnknownImage},
    };
    const std::map<std::string, std::string> colourSpaces = {
        {"gen-baseline-grey-from-pgm.jpg", "DeviceGray"}, {"gen-baseline-grey.jpg", "DeviceGray"},
        {"gen-progressive-grey.jpg", "DeviceGray"},      {"jd-jpg-gray.jpg", "DeviceGray"},
        {"jd-grayscale_24x16_sampling2x2.jpg", "DeviceGray"}, {"pil-icc-after-SOF.jpg", "DeviceGray"},
        {"pil-jfif_unit_cm.jpg", "DeviceGray"},          {"jd-jpg-srgb-icc.jpg", "DeviceGray"},
        {"jd-jpg-cmyk-1.jpg", "DeviceCMYK"},             {"jd-jpg-cmyk-2.jpg", "DeviceCMYK"},
        {"gen-ycck-jfif-first.jpg", "DeviceCMYK"},
    };
    int accepted = 0;
    for (const std::string& name : filesIn("jpeg", ".jpg")) {
        PdfWriter writer;
        writer.initialize();
        writer.create("P", "pt", "");
        writer.addPage("", "");
        writer.image(test::imageDataPath("jpeg/" + name), 0, 0, 0, 0, 0);
        auto reject = rejected.find(name);
        ASSERT_EQ(writer.errorCode(), reject == rejected.end() ? 0 : reject->second) << name;
        if (writer.errorCode() != 0) continue;
        ++accepted;
        auto space = colourSpaces.find(name);
        EXPECT_EQ(writer.document().images[0].colorSpace, space == colourSpaces.end() ? "DeviceRGB" : space->second)
            << name;
    }
    EXPECT_EQ(accepted, 37);
}

TEST(JpegSamples, AcceptedSamplesRenderAtTheirPlace)
{
    // Four-component files are compared only loosely: CMYK to RGB conversion differs
    // between readers. The 12-bit file is left out: PDF's DCT filter is 8-bit.
    // The file with JFIF and an Adobe "no transform" segment is read as YCbCr by one
    // decoder and as RGB by the other. The two truncated files are accepted (their
    // headers are whole) but their scans are damaged, which readers report.
    const std::map<std::string, double> loose = {{"jd-jpg-cmyk-1.jpg", 60},
                                                 {"jd-jpg-cmyk-2.jpg", 60},
                                                 {"gen-ycck-jfif-first.jpg", 60},
                                                 {"gen-rgb-jfif-first.jpg", -1}};
    for (const std::string& name : filesIn("jpeg", ".jpg")) {
        int width = 0, height = 0;
        std::int32_t code = 0;
        if (!pictureSize(test::imageDataPath("jpeg/" + name), width, height, code) || name == "ljt-monkey12.jpg" ||
            name == "gen-truncated-baseline.jpg" || name == "pil-truncated_jpeg.jpg" || width > 1000) {
            continue;
        }
        auto it = loose.find(name);
        expectRendersAtItsPlace("jpeg", name, it == loose.end() ? 6.0 : it->second);
    }
}

TEST(Jpeg2000Samples, CodestreamsRenderAtTheirPlace)
{
    for (const char* suffix : {".j2k", ".j2c"}) {
        for (const std::string& name : filesIn("jpeg2000", suffix)) {
            int width = 0, height = 0;
            std::int32_t code = 0;
            if (!pictureSize(test::imageDataPath("jpeg2000/" + name), width, height, code)) {
                EXPECT_TRUE(name == "pil-zero_height.j2k" || name == "pil-unknown_mode.j2k") << name;
                EXPECT_EQ(code, kImageRead) << name;
                continue;
            }
            // The reference decoder gets the image offset and the four-component
            // (alpha) files' colours other than the PDF reader does.
            const bool compare = name.find("offset") == std::string::npos && name != "gen-rgba8.j2k" &&
                                 name != "pil-rgb_trns_ycbc.j2k" && name.find("subsampled") == std::string::npos;
            expectRendersAtItsPlace("jpeg2000", name, compare ? 8.0 : -1.0);
        }
    }
}

TEST(MetafileSamples, EachPlaceableSampleGivesAFormWithInkInsideItsBox)
{
    const std::map<std::string, std::int32_t> rejected = {
        {"dotnet-gdiwmfboundariesbug-nonplaceable.wmf", kUnknownImage},
        {"poi-61338-nonplaceable.wmf", kUnknownImage},
        {"poi-64716_image3.wmf", kMetafile},  // only text and moves: nothing to draw
    };
    for (const std::string& name : filesIn("wmf", ".wmf")) {
        const std::string path = test::imageDataPath("wmf/" + name);
        // 200 points wide, the height from the bounding box, 20 points of margin.
        int width = 0, height = 0;
        std::int32_t code = 0;
        pictureSize(path, width, height, code);
        auto reject = rejected.find(name);
        ASSERT_EQ(code, reject == rejected.end() ? 0 : reject->second) << name;
        if (code != 0) continue;
        const int w = 200, h = std::max(1, static_cast<int>(std::lround(200.0 * std::abs(height) / std::abs(width))));
        // Grey under the form, so that white shapes count as ink too.
        PlacedPicture placed = placeAlone(path, w, h, 20, name, true);
        std::string report;
        EXPECT_TRUE(test::qpdfAccepts(placed.pdfPath, &report)) << name << report;
        test::RgbPixels page;
        std::string messages;
        ASSERT_TRUE(test::renderPage(placed.pdfPath, 72, page, &messages)) << name;
        EXPECT_EQ(messages, "") << name;
        int inside = 0, outside = 0;
        for (int y = 0; y < page.height; ++y) {
            for (int x = 0; x < page.width; ++x) {
                const std::uint8_t* p = page.at(x, y);
                const bool in = x >= 19 && x <= 20 + w && y >= 19 && y <= 20 + h;
                const bool white = p[0] == 255 && p[1] == 255 && p[2] == 255;
                const bool grey = p[0] == 128 && p[1] == 128 && p[2] == 128;
                if (in && !grey && (x >= 21 && x < 19 + w && y >= 21 && y < 19 + h)) ++inside;
                if (!in && !white) ++outside;
            }
        }
        // Its only shapes are a frame outside the bounding box (clipped away), the
        // rest is text, which the converter does not draw.
        if (name != "gen-libreoffice-text-from-svg.wmf") {
            EXPECT_GT(inside, 0) << name;
        }
        EXPECT_EQ(outside, 0) << name;
    }
}

}  // namespace
}  // namespace tabulon::pdf
