// Odd clipboard and job text: NUL bytes, malformed UTF-8 and, from Qt, lone
// surrogates. They pass through the conversion and intake as bytes like any
// other, end up in the PDF as the text they became, and a name holding a control
// character is refused by the writer's name check.
#include <gtest/gtest.h>

#include "ansi_text.h"
#include "job_intake.h"
#include "job_renderer.h"
#include "pdf_check.h"
#include "pdf_export.h"
#ifdef TABULON_HAVE_TEXT_CODEC
#include "qt_text_codec.h"
#endif

namespace tabulon::test {
namespace {

using namespace std::string_literals;

render::PdfExportOutcome exportInMemory(const std::string& windows1252)
{
    render::JobState job = render::intakeJob(windows1252);
    render::JobRenderer renderer;
    render::previewEveryPage(renderer, job);
    pdf::PdfWriter writer;
    render::PdfExportOptions options;
    options.inMemory = true;
    render::PdfExport pdfExport(writer, options);
    render::RenderOutputs outputs;
    outputs.pdfExport = &pdfExport;
    renderer.renderJob(job, render::RenderTarget::Pdf, outputs);
    return pdfExport.outcome();
}

void expectValidPdf(const std::string& bytes, int pages)
{
    static int counter = 0;
    std::string path = writeTempFile("odd-text-" + std::to_string(++counter) + ".pdf", bytes);
    std::string report;
    EXPECT_TRUE(qpdfAccepts(path, &report)) << report;
    EXPECT_EQ(pdfinfoPages(path), pages);
}

TEST(OddText, MalformedUtf8BecomesQuestionMarksAndNulBytesStay)
{
    const std::string clipboard = "Odd,P/*\rtxt,A,N,12,10,10,K/*A\0B \xFF\xFE C\xC3\rtxt,A,N,12,10,30,K/*After\0\r"s;
    const std::string converted = render::utf8ToWindows1252(clipboard);
    EXPECT_EQ(converted, "Odd,P/*\rtxt,A,N,12,10,10,K/*A\0B ?? C?\rtxt,A,N,12,10,30,K/*After\0\r"s);

    render::PdfExportOutcome outcome = exportInMemory(converted);
    ASSERT_TRUE(outcome.saved()) << outcome.errorText;
    EXPECT_EQ(outcome.fileName, "Odd.pdf");
    EXPECT_NE(outcome.bytes.find("(A\0B ?? C?) Tj"s), std::string::npos);
    EXPECT_NE(outcome.bytes.find("(After\0) Tj"s), std::string::npos);
    expectValidPdf(outcome.bytes, 1);
}

TEST(OddText, NulBytesInCommandsAndHeadersAreOrdinaryBytes)
{
    struct Case {
        std::string job;
        int pages;
    } cases[] = {
        {"\0\0\0\0"s, 1},                                          // no header at all
        {"Doc,P/*\r\0txt,A,N,12,10,10,K/*x\reop\0\r"s, 1},       // commands that are no commands
        {"Doc,P\0/*\rtxt,A,N,12\0,10,10,K/*x\reop\r"s, 2},       // fields with a NUL
        {"Doc,P/*\r"s + std::string(100000, '\0') + "\reop\r"s, 2},
    };
    for (const Case& c : cases) {
        render::PdfExportOutcome outcome = exportInMemory(c.job);
        ASSERT_TRUE(outcome.saved()) << outcome.errorText;
        expectValidPdf(outcome.bytes, c.pages);
    }
}

TEST(OddText, DocumentNameWithAControlCharacterIsRefusedByName)
{
    render::JobState job = render::intakeJob("Od\0d,P/*\rtxt,A,N,12,10,10,K/*x\r"s);
    render::JobRenderer renderer;
    render::previewEveryPage(renderer, job);
    pdf::PdfWriter writer;
    render::PdfExport pdfExport(writer);  // writes "Od\0d.pdf" in the current folder, if anything
    render::RenderOutputs outputs;
    outputs.pdfExport = &pdfExport;
    renderer.renderJob(job, render::RenderTarget::Pdf, outputs);
    EXPECT_EQ(pdfExport.outcome().fileName, "Od\0d.pdf"s);
    EXPECT_EQ(pdfExport.outcome().errorCode, pdf::kBadFileName);
    EXPECT_EQ(pdfExport.outcome().errorText, "Filename is not correct.");
}

#ifdef TABULON_HAVE_TEXT_CODEC
TEST(OddText, ClipboardUnicodeWithNulAndLoneSurrogatesBecomesJobBytes)
{
    const std::u16string clipboard = u"Odd,P/*\rtxt,A,N,12,10,10,K/*A"s + char16_t(0) + u"B " + char16_t(0xD800) + u"x" +
                                     char16_t(0xDC00) + u" \u00E5\u20AC\U0001F600\r";
    EXPECT_EQ(platform::clipboardToAnsi(clipboard), "Odd,P/*\rtxt,A,N,12,10,10,K/*A\0B ?x? \xE5\x80?\r"s);
}
#endif

}  // namespace
}  // namespace tabulon::test
