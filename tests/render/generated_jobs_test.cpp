// Generated jobs: every command with odd fields, bytes above 127, unknown words,
// repeated headers and "eop" anywhere. Every PDF must pass qpdf, have one page
// per "eop" plus one, and show every ASCII text that was drawn where it can be
// read.
#include <gtest/gtest.h>

#include "job_generator.h"
#include "job_intake.h"
#include "job_renderer.h"
#include "null_outputs.h"
#include "pdf_check.h"
#include "pdf_export.h"

namespace tabulon::render {
namespace {

constexpr int kJobs = 240;

bool writerHasFonts()
{
    pdf::PdfWriter writer;
    writer.create("P", "mm", "");
    writer.addPage("", "");
    writer.setFont("Arial", "", 12);
    return !writer.document().fonts.empty();
}

TEST(GeneratedJobs, EveryPdfIsValidHasItsPagesAndShowsItsTexts)
{
    bool fonts = writerHasFonts();
    test::JobGenerator generator(20261209, TABULON_LOGO);
    for (int index = 0; index < kJobs; ++index) {
        test::GeneratedJob generated = generator.next(index);
        JobState job = intakeJob(generated.text);
        JobRenderer renderer;
        NullSurface canvas;
        YesQuestionBox yes;
        RenderOutputs preview;
        preview.canvas = &canvas;
        preview.questionBox = &yes;
        renderer.renderJob(job, RenderTarget::Preview, preview);

        pdf::PdfWriter writer;
        PdfExportOptions options;
        options.fileName = test::tempFolder() + "/generated-" + std::to_string(index) + ".pdf";
        PdfExport pdfExport(writer, options);
        RenderOutputs outputs;
        outputs.pdfExport = &pdfExport;
        renderer.renderJob(job, RenderTarget::Pdf, outputs);
        ASSERT_TRUE(pdfExport.outcome().saved()) << pdfExport.outcome().errorText;

        SCOPED_TRACE("job " + std::to_string(index));
        std::string report;
        ASSERT_TRUE(test::qpdfAccepts(options.fileName, &report)) << report;
        EXPECT_EQ(test::pdfinfoPages(options.fileName), generated.eops + 1);
        if (fonts && !generated.readableTexts.empty()) {
            std::string text = test::pdfText(options.fileName);
            for (const std::string& word : generated.readableTexts) {
                EXPECT_NE(text.find(word), std::string::npos) << word;
            }
        }
    }
    if (!fonts) GTEST_SKIP() << "the writer has no font module yet: texts were not looked for";
}

}  // namespace
}  // namespace tabulon::render
