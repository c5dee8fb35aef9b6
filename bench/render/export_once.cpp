// Exports one ledger job of N pages (argv[1]) in memory, or to the file argv[2],
// so that /usr/bin/time -v can tell the peak memory of one export.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ansi_text.h"
#include "demo_job.h"
#include "job_intake.h"
#include "job_renderer.h"
#include "pdf_export.h"

int main(int argc, char** argv)
{
    using namespace tabulon;
    int pages = argc > 1 ? std::atoi(argv[1]) : 1000;
    std::string text = render::utf8ToWindows1252(pages == 4 ? demo::buildDemoJob() : demo::buildLedgerJob(pages));
    render::JobState job = render::intakeJob(text);
    render::JobRenderer renderer;
    render::previewEveryPage(renderer, job);

    pdf::PdfWriter writer;
    render::PdfExportOptions options;
    if (argc > 2) {
        options.fileName = argv[2];
    } else {
        options.inMemory = true;
    }
    render::PdfExport pdfExport(writer, options);
    render::RenderOutputs outputs;
    outputs.pdfExport = &pdfExport;
    renderer.renderJob(job, render::RenderTarget::Pdf, outputs);
    const render::PdfExportOutcome& outcome = pdfExport.outcome();
    std::printf("%d pages, %zu bytes in memory, saved %d\n", outcome.pageCount, outcome.bytes.size(), outcome.saved());
    return outcome.saved() ? 0 : 1;
}
