// Placement lines, image and form objects, reuse, palettes and error reporting.
#include <gtest/gtest.h>
#include <zlib.h>

#include <unistd.h>

#include <cstdlib>

#include "image_fixtures.h"
#include "pdf_check.h"
#include "deflate_compress.h"
#include "pdf_writer.h"

namespace tabulon::pdf {
namespace {

using test::objectText;
using test::splitLines;

class Placement : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("SOURCE_DATE_EPOCH", "0", 1); }
    void TearDown() override { ::unsetenv("SOURCE_DATE_EPOCH"); }

    void start(const char* unit = "mm")
    {
        writer.initialize();
        writer.create("P", unit, "595.28,841.89");
        writer.addPage("", "");
    }
    std::string file(const std::string& name, const std::string& bytes) { return test::writeTempFile(name, bytes); }
    // Closes the document, checks it with qpdf and returns its bytes.
    std::string finish(const std::string& name)
    {
        writer.close();
        std::string pdf(writer.bytes());
        EXPECT_EQ(test::checkXref(pdf), "");
        std::string report;
        EXPECT_TRUE(test::qpdfAccepts(test::writeTempFile(name, pdf), &report)) << report;
        return pdf;
    }
    // The lines of the first page's content stream (object 4).
    std::vector<std::string> pageLines(const std::string& pdf) { return splitLines(objectText(pdf, 4)); }
    bool hasLine(const std::vector<std::string>& lines, const std::string& line)
    {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    PdfWriter writer;
};

TEST_F(Placement, SizeRulesGiveTheExactPlacementLine)
{
    struct Case {
        const char* unit;
        float w, h;
        const char* line;
    } cases[] = {
        // 160 x 120 pixels: w 40 mm and h 0 give h 30 mm, and the other way round.
        {"mm", 40, 0, "q 113.39 0 0 85.04 28.35 700.16 cm /I1 Do Q"},
        {"mm", 0, 30, "q 113.39 0 0 85.04 28.35 700.16 cm /I1 Do Q"},
        // Both 0 with unit "pt": one pixel per point.
        {"pt", 0, 0, "q 160.00 0 0 120.00 10.00 701.89 cm /I1 Do Q"},
    };
    const std::string jpeg = test::imageDataPath("jpeg/gen-baseline-rgb-444.jpg");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        start(c.unit);
        writer.image(jpeg, 10, 20, c.w, c.h, 0);
        EXPECT_TRUE(hasLine(pageLines(finish("size.pdf")), c.line));
    }
}

TEST_F(Placement, SameFileTwiceGivesOneObjectAndTwoLinesWithOneName)
{
    start();
    const std::string png = file("reuse.png", test::makePng(2, 4, 2, 0, 200));
    writer.image(png, 10, 20, 40, 20, 0);
    writer.image(png, 10, 100, 40, 20, 0);
    std::string pdf = finish("reuse.pdf");
    std::vector<std::string> lines = pageLines(pdf);
    EXPECT_TRUE(hasLine(lines, "q 113.39 0 0 56.69 28.35 728.50 cm /I1 Do Q"));
    EXPECT_TRUE(hasLine(lines, "q 113.39 0 0 56.69 28.35 501.73 cm /I1 Do Q"));
    EXPECT_NE(objectText(pdf, 5).find("/Subtype /Image"), std::string::npos);
    EXPECT_NE(objectText(pdf, 2).find("/XObject <<\n/I1 5 0 R\n>>"), std::string::npos);
    EXPECT_EQ(objectText(pdf, 6).find("/XObject"), std::string::npos);  // the info dictionary
}

// One file through other names ("./x", "././x", its full path, a link) is read and
// embedded once; a copy of it is a file of its own.
TEST_F(Placement, OneFileUnderManyNamesGivesOneObject)
{
    const std::string png = file("alias.png", test::makePng(2, 4, 2, 0, 200));
    const std::string folder = png.substr(0, png.rfind('/'));
    const std::string link = folder + "/alias-link.png";
    ::unlink(link.c_str());
    ASSERT_EQ(::symlink(png.c_str(), link.c_str()), 0);
    const std::string copy = file("alias-copy.png", test::readFile(png));
    struct Case {
        const char* name;
        std::vector<std::string> names;
        int objects;
    } cases[] = {
        {"path aliases", {png, folder + "/./alias.png", folder + "/././alias.png", folder + "/../" +
                          folder.substr(folder.rfind('/') + 1) + "/alias.png"}, 1},
        {"a link", {png, link}, 1},
        {"a copy", {png, copy, folder + "/./alias-copy.png"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        start();
        for (const std::string& name : c.names) writer.image(name, 10, 20, 40, 20, 0);
        const std::string pdf = finish("alias.pdf");
        std::size_t images = 0;
        for (std::size_t at = 0; (at = pdf.find("/Subtype /Image", at)) != std::string::npos; ++at) ++images;
        EXPECT_EQ(images, static_cast<std::size_t>(c.objects));
        std::size_t placed = 0;
        for (const std::string& line : pageLines(pdf)) placed += line.find(" Do Q") != std::string::npos;
        EXPECT_EQ(placed, c.names.size());
    }
}

TEST_F(Placement, JpegColourSpacesGiveTheirLines)
{
    struct Case {
        const char* file;
        const char* lines;
    } cases[] = {
        {"jd-jpg-gray.jpg", "/ColorSpace /DeviceGray\n/BitsPerComponent 8\n/Filter /DCTDecode\n"},
        {"jd-jpg-progressive.jpg", "/ColorSpace /DeviceRGB\n/BitsPerComponent 8\n/Filter /DCTDecode\n"},
        {"jd-jpg-cmyk-1.jpg",
         "/ColorSpace /DeviceCMYK\n/Decode [1 0 1 0 1 0 1 0]\n/BitsPerComponent 8\n/Filter /DCTDecode\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        start();
        const std::string path = test::imageDataPath(std::string("jpeg/") + c.file);
        const std::string bytes = test::readFile(path);
        writer.image(path, 0, 0, 10, 0, 0);
        std::string pdf = finish("colour.pdf");
        EXPECT_EQ(objectText(pdf, 5), "5 0 obj\n<</Type /XObject\n/Subtype /Image\n/Width 32\n/Height 32\n" +
                                          std::string(c.lines) + "/Length " + std::to_string(bytes.size()) +
                                          ">>\nstream\n" + bytes + "\nendstream\nendobj\n");
    }
}

TEST_F(Placement, PaletteObjectFollowsTheImageWithHighestIndex)
{
    start();
    const std::string png = test::makePng(3, 4, 1, 16, 3);
    writer.image(file("pal16.png", png), 0, 0, 10, 0, 0);
    std::string pdf = finish("palette.pdf");
    std::vector<std::string> image = splitLines(objectText(pdf, 5));
    ASSERT_GE(image.size(), 10u);
    EXPECT_EQ(image[5], "/ColorSpace [/Indexed /DeviceRGB 15 6 0 R]");
    EXPECT_EQ(image[6], "/BitsPerComponent 8");
    EXPECT_EQ(image[7], "/Filter /FlateDecode");
    EXPECT_EQ(image[8], "/DecodeParms <</Predictor 15 /Colors 1 /BitsPerComponent 8 /Columns 4>>");
    std::string palette = objectText(pdf, 6);
    EXPECT_EQ(palette.substr(0, 34), std::string("6 0 obj\n<</Length 48>>\nstream\n\x00\xFF\x40\x10", 34));
}

std::string shapesWmf()
{
    return test::makeWmf(0, 0, 1000, 500, 1000,
                         {{0x02FA, {0, 10, 0, 0x00FF, 0}},            // red pen, 10 units wide
                          {0x012D, {0}},                              // select it
                          {0x02FC, {0, -32768, 0, 0}},                // green brush (0, 128, 0)
                          {0x012D, {1}},
                          {0x041B, {400, 900, 100, 100}}});           // rectangle 100,100 - 900,400
}

TEST_F(Placement, MetafileGivesFormObjectAndPlacementLine)
{
    start();
    writer.image(file("shapes.wmf", shapesWmf()), 10, 20, 0, 0, 0);
    std::string pdf = finish("form.pdf");
    // Both sizes 0: metafile units as twentieths of a point.
    EXPECT_TRUE(hasLine(pageLines(pdf), "q 0.050000 0 0 -0.050000 28.346458 785.197144 cm /FO1 Do Q"));
    const std::string content = "1.000 0.000 0.000 RG\n10 w\n1 J\n1 j\n0.000 0.502 0.000 rg\n"
                                "100 100 800 300 re\nB*\n";
    EXPECT_EQ(objectText(pdf, 5), "5 0 obj\n<</Type /XObject\n/Subtype /Form\n/BBox [0 0 1000 500]\n/Length " +
                                      std::to_string(content.size()) + ">>\nstream\n" + content +
                                      "\nendstream\nendobj\n");
    EXPECT_NE(objectText(pdf, 2).find("/FO1 5 0 R"), std::string::npos);
}

TEST_F(Placement, MetafileWithNegativeBoxPlacesItsTopLeftCorner)
{
    start("pt");
    writer.image(file("neg.wmf", test::makeWmf(-200, -100, 0, 0, 1440, {{0x041B, {-10, -10, -90, -190}}})), 100,
                 50, 40, 0, 0);
    std::string pdf = finish("negative.pdf");
    // w 40 pt over 200 units; h follows: 20 pt. (-200, -100) lands on (100, 791.89).
    EXPECT_TRUE(hasLine(pageLines(pdf), "q 0.200000 0 0 -0.200000 140.000000 771.890015 cm /FO1 Do Q"));
    EXPECT_NE(objectText(pdf, 5).find("/BBox [-200 -100 0 0]"), std::string::npos);
}

TEST_F(Placement, CompressProcDeflatesFormContent)
{
    start();
    writer.setCompressProc(deflateCompressProc());
    writer.image(file("shapes-z.wmf", shapesWmf()), 10, 20, 30, 0, 0);
    std::string pdf = finish("form-deflate.pdf");
    std::string form = objectText(pdf, 5);
    ASSERT_NE(form.find("/BBox [0 0 1000 500]\n/Filter /FlateDecode\n/Length "), std::string::npos) << form;
    const std::size_t start = form.find("stream\n") + 7, end = form.rfind("\nendstream");
    std::string packed = form.substr(start, end - start);
    std::string plain(4096, '\0');
    uLongf size = plain.size();
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(plain.data()), &size, reinterpret_cast<const Bytef*>(packed.data()),
                         static_cast<uLong>(packed.size())),
              Z_OK);
    plain.resize(size);
    EXPECT_NE(plain.find("100 100 800 300 re\nB*\n"), std::string::npos);
}

TEST_F(Placement, FailedPictureLeavesOthersWritten)
{
    start();
    writer.image(test::imageDataPath("jpeg/jd-jpg-gray.jpg"), 10, 10, 20, 0, 0);
    writer.image(test::tempFolder() + "/missing.png", 10, 40, 20, 0, 0);
    EXPECT_EQ(writer.errorCode(), kImageOpen);
    writer.image(file("ok2.png", test::makePng(0, 4, 4, 0, 90)), 10, 70, 20, 0, 0);
    EXPECT_EQ(writer.errorCode(), kImageOpen);
    std::string pdf = finish("partial.pdf");
    std::vector<std::string> lines = pageLines(pdf);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.find(" Do Q") != std::string::npos; }), 2);
    EXPECT_TRUE(hasLine(lines, "q 56.69 0 0 56.69 28.35 756.85 cm /I1 Do Q"));
    EXPECT_TRUE(hasLine(lines, "q 56.69 0 0 56.69 28.35 586.77 cm /I2 Do Q"));
    EXPECT_NE(objectText(pdf, 2).find("/I1 5 0 R\n/I2 6 0 R\n"), std::string::npos);
    EXPECT_NE(objectText(pdf, 6).find("/Filter /FlateDecode"), std::string::npos);
}

TEST(ErrorText, EveryCodeHasItsText)
{
    const char* texts[] = {"",
                           "16-bit depth PNG not supported.",
                           "Alpha channel PNG not supported.",
                           "Unknown compression PNG method.",
                           "Unknown filter PNG method.",
                           "Interlacing PNG not supported.",
                           "Missing palette in PNG.",
                           "JPEG file is not supported.",
                           "Error opening image file.",
                           "Problem reading image file in memory.",
                           "JFIF marker is missing.",
                           "Not a JPEG file.",
                           "Incorrect PNG file.",
                           "",
                           "Not a JPEG or PNG file.",
                           "Filename is not correct.",
                           "Error creating file.",
                           "File open error.",
                           "Out of memory.",
                           "Bookmark Error",
                           "Too many objects for a PDF file.",
                           "Too many bytes for a PDF file.",
                           ""};
    for (int code = 0; code <= 22; ++code) EXPECT_EQ(errorText(code), texts[code]) << code;
    EXPECT_EQ(errorText(-1), "");
    PdfWriter writer;
    writer.initialize();
    writer.create("P", "mm", "");
    writer.addPage("", "");
    writer.image("/nonexistent/picture.jpg", 0, 0, 10, 10, 0);
    EXPECT_EQ(writer.getErrorText(), "Error opening image file.");
}

}  // namespace
}  // namespace tabulon::pdf
