// Speed of the export path from job text to PDF bytes: the demo job and ledger
// jobs of 1,000 and 10,000 pages (the demo's rows continued), in memory and to a
// file. Each run does what tabulon-export does: intake, a screenless preview
// pass, then the PDF pass.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "ansi_text.h"
#include "demo_job.h"
#include "job_intake.h"
#include "job_renderer.h"
#include "pdf_export.h"

namespace {

using namespace tabulon;

std::string jobFor(int pages)
{
    return render::utf8ToWindows1252(pages == 4 ? demo::buildDemoJob() : demo::buildLedgerJob(pages));
}

render::PdfExportOutcome exportOnce(const std::string& text, const render::PdfExportOptions& options)
{
    render::JobState job = render::intakeJob(text);
    render::JobRenderer renderer;
    render::previewEveryPage(renderer, job);

    pdf::PdfWriter writer;
    render::PdfExport pdfExport(writer, options);
    render::RenderOutputs outputs;
    outputs.pdfExport = &pdfExport;
    renderer.renderJob(job, render::RenderTarget::Pdf, outputs);
    return pdfExport.outcome();
}

void report(benchmark::State& state, int pages, std::size_t bytes)
{
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_ExportInMemory(benchmark::State& state)
{
    int pages = static_cast<int>(state.range(0));
    std::string text = jobFor(pages);
    render::PdfExportOptions options;
    options.inMemory = true;
    std::size_t bytes = 0;
    for (auto _ : state) {
        render::PdfExportOutcome outcome = exportOnce(text, options);
        bytes = outcome.bytes.size();
        benchmark::DoNotOptimize(outcome.bytes.data());
    }
    report(state, pages, bytes);
}

void BM_ExportToFile(benchmark::State& state)
{
    int pages = static_cast<int>(state.range(0));
    std::string text = jobFor(pages);
    render::PdfExportOptions options;
    const char* folder = std::getenv("TMPDIR");
    options.fileName = std::string(folder != nullptr ? folder : "/tmp") + "/tabulon-bench-" +
                       std::to_string(::getpid()) + ".pdf";
    for (auto _ : state) {
        render::PdfExportOutcome outcome = exportOnce(text, options);
        if (!outcome.saved()) state.SkipWithError(outcome.errorText.c_str());
    }
    report(state, pages, 0);
    std::remove(options.fileName.c_str());
}

}  // namespace

BENCHMARK(BM_ExportInMemory)->Arg(4)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportToFile)->Arg(4)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
