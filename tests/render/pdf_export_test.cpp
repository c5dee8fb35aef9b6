#include <gtest/gtest.h>

#include <cstdlib>

#include "job_intake.h"
#include "job_renderer.h"
#include "null_outputs.h"
#include "pdf_check.h"
#include "pdf_export.h"

namespace tabulon::render {
namespace {

JobState jobOf(const std::vector<std::string>& lines, const std::string& orientation = "P")
{
    std::string text = "Doc," + orientation + "/*\r";
    for (const std::string& line : lines) text += line + "\r";
    return intakeJob(text);
}

PdfExportOptions inMemory(bool compress = false)
{
    PdfExportOptions options;
    options.inMemory = true;
    options.compress = compress;
    return options;
}

PdfExportOptions toFile(const std::string& fileName)
{
    PdfExportOptions options;
    options.fileName = fileName;
    return options;
}

// Runs a preview pass (Yes at every question) and then the PDF pass.
PdfExportOutcome exportJob(const JobState& job, PdfExportOptions options = inMemory())
{
    JobRenderer renderer;
    NullSurface canvas;
    YesQuestionBox yes;
    RenderOutputs preview;
    preview.canvas = &canvas;
    preview.questionBox = &yes;
    renderer.renderJob(job, RenderTarget::Preview, preview);

    pdf::PdfWriter writer;
    PdfExport pdfExport(writer, std::move(options));
    RenderOutputs outputs;
    outputs.pdfExport = &pdfExport;
    renderer.renderJob(job, RenderTarget::Pdf, outputs);
    return pdfExport.outcome();
}

bool hasLine(const std::string& pdf, const std::string& line)
{
    return pdf.find("\n" + line + "\n") != std::string::npos;
}

// The writer has its picture module when our logo embeds.
bool writerEmbedsPictures()
{
    pdf::PdfWriter writer;
    writer.create("P", "mm", "");
    writer.addPage("", "");
    writer.image(TABULON_LOGO, 0, 0, 10, 10, 0);
    return !writer.document().images.empty();
}

TEST(PdfExport, ReadsDecimalsWherePreviewReadsIntegers)
{
    PdfExportOutcome out = exportJob(jobOf({"box,10.5,20,30,40,K,N,5/*", "box,10,20,30,40,K,N,5/*",
                                            "line,10.5,28,100,28,B,5/*", "txt,A,N,12,10.5,32,K/*t"}));
    ASSERT_TRUE(out.saved()) << out.errorText;
    EXPECT_TRUE(hasLine(out.bytes, "29.76 785.20 85.04 -113.39 re")) << out.bytes;
    EXPECT_TRUE(hasLine(out.bytes, "28.35 785.20 85.04 -113.39 re"));
    EXPECT_TRUE(hasLine(out.bytes, "1.42 w"));  // 5 tenths of a millimetre
    EXPECT_TRUE(hasLine(out.bytes, "29.76 762.52 m 283.46 762.52 l S"));
    // Baseline one font size (12 pt = 4.23 mm, rounded to 4) below y = 32.
    EXPECT_NE(out.bytes.find("BT 29.76 739.84 Td (t) Tj ET"), std::string::npos);
}

TEST(PdfExport, ColourLettersGiveThePdfTriples)
{
    PdfExportOutcome out = exportJob(jobOf({"box,10,286,190,8,Y,F,4/*", "box,1,2,3,4,R,N,3/*",
                                            "line,1,2,3,4,B,1/*", "txt,A,N,12,1,1/*black before any letter"}));
    ASSERT_TRUE(out.saved());
    // "Y" is yellow in the PDF; a filled box has no outline.
    EXPECT_TRUE(hasLine(out.bytes, "1.000 1.000 0.000 RG"));
    EXPECT_TRUE(hasLine(out.bytes, "1.000 1.000 0.000 rg"));
    EXPECT_TRUE(hasLine(out.bytes, "28.35 31.18 538.58 -22.68 re"));
    EXPECT_TRUE(hasLine(out.bytes, "f"));
    EXPECT_TRUE(hasLine(out.bytes, "1.000 0.000 0.000 RG"));
    EXPECT_TRUE(hasLine(out.bytes, "S"));
    EXPECT_TRUE(hasLine(out.bytes, "0.000 0.000 1.000 RG"));
    EXPECT_NE(out.bytes.find("(black before any letter) Tj"), std::string::npos);
}

TEST(PdfExport, EopAddsPagesAndTotalPagesAliasCountsThem)
{
    PdfExportOutcome out =
        exportJob(jobOf({"txt,A,N,12,10,10,K/*Page of {nb}", "eop/*", "eop/*", "eop/*", "txt,A,N,12,10,10,K/*four"}));
    ASSERT_TRUE(out.saved());
    EXPECT_EQ(out.pageCount, 4);
    EXPECT_NE(out.bytes.find("(Page of 4) Tj"), std::string::npos);
    EXPECT_EQ(out.bytes.find("{nb}"), std::string::npos);
    std::string path = test::writeTempFile("four-pages.pdf", out.bytes);
    EXPECT_TRUE(test::qpdfAccepts(path));
    EXPECT_EQ(test::pdfinfoPages(path), 4);

    // A final "eop" gives an empty last page.
    PdfExportOutcome trailing = exportJob(jobOf({"txt,A,N,12,10,10,K/*x", "eop/*"}));
    std::string trailingPath = test::writeTempFile("trailing-eop.pdf", trailing.bytes);
    EXPECT_TRUE(test::qpdfAccepts(trailingPath));
    EXPECT_EQ(test::pdfinfoPages(trailingPath), 2);
}

TEST(PdfExport, LandscapeJobsGetLandscapePages)
{
    PdfExportOutcome out = exportJob(jobOf({"eop/*"}, "L"));
    EXPECT_NE(out.bytes.find("/MediaBox [0 0 841.89 595.28]"), std::string::npos);
}

TEST(PdfExport, SaveOutcomeReachesTheCaller)
{
    struct Case {
        std::string fileName;
        std::int32_t code;
        std::string text;
    };
    const Case cases[] = {
        {test::tempFolder() + "/written.pdf", 0, ""},
        {test::tempFolder() + "/no-such-folder/x.pdf", pdf::kCreateFile, "Error creating file."},
        {test::tempFolder() + "/bad:name.pdf", pdf::kBadFileName, "Filename is not correct."},
    };
    for (const Case& c : cases) {
        PdfExportOutcome out = exportJob(jobOf({"txt,A,N,12,10,10,K/*x"}), toFile(c.fileName));
        EXPECT_EQ(out.fileName, c.fileName);
        EXPECT_EQ(out.errorCode, c.code) << c.fileName;
        EXPECT_EQ(out.errorText, c.text);
        EXPECT_EQ(out.saved(), c.code == 0);
        if (c.code == 0) {
            EXPECT_TRUE(test::qpdfAccepts(c.fileName));
        }
    }
}

TEST(PdfExport, DefaultFileNameIsTheDocumentNameInTheCurrentFolder)
{
    pdf::PdfWriter writer;
    PdfExport pdfExport(writer);
    JobState job = intakeJob("My doc,P/*\r");
    pdfExport.start(job);
    EXPECT_EQ(pdfExport.outcome().fileName, "My doc.pdf");
}

TEST(PdfExport, PictureThatCannotBeEmbeddedIsReportedOnceAndThePdfIsWritten)
{
    PdfExportOutcome out = exportJob(
        jobOf({"img,1,1,10,10,missing.jpg/*", "img,1,1,10,10,missing.jpg/*", "img,10,5,50,15," TABULON_LOGO "/*"}));
    ASSERT_TRUE(out.saved()) << out.errorText;
    bool pictures = writerEmbedsPictures();
    ASSERT_EQ(out.pictureFailures.size(), pictures ? 1u : 2u);
    EXPECT_EQ(out.pictureFailures[0].file, "missing.jpg");
    if (pictures) {
        EXPECT_EQ(out.pictureFailures[0].errorCode, pdf::kImageOpen);
        EXPECT_EQ(out.pictureFailures[0].reason, "Error opening image file.");
        EXPECT_NE(out.bytes.find("/Subtype /Image"), std::string::npos);
    }
    EXPECT_TRUE(test::qpdfAccepts(test::writeTempFile("missing-picture.pdf", out.bytes)));
}

TEST(PdfExport, CompressionDeflatesPageContents)
{
    JobState job = jobOf({"txt,A,N,12,10,10,K/*Compressed text that repeats repeats repeats"});
    PdfExportOutcome plain = exportJob(job);
    PdfExportOutcome packed = exportJob(job, inMemory(true));
    EXPECT_EQ(plain.bytes.find("/Filter /FlateDecode"), std::string::npos);
    EXPECT_NE(packed.bytes.find("/Filter /FlateDecode"), std::string::npos);
    std::string path = test::writeTempFile("compressed.pdf", packed.bytes);
    EXPECT_TRUE(test::qpdfAccepts(path));
}

}  // namespace
}  // namespace tabulon::render
