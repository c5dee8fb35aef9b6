// The writer core on long documents: pages of lines, rectangles and colour
// changes (about 300 operators a page), assembled in memory. Run once with
// exact-size buffer growth and once with geometric growth.
#include <benchmark/benchmark.h>

#include "pdf_writer.h"

namespace {

using tabulon::pdf::BufferGrowth;
using tabulon::pdf::PdfWriter;

void drawPage(PdfWriter& writer, int page)
{
    for (int row = 0; row < 50; ++row) {
        float y = 20.0f + static_cast<float>(row) * 5.0f;
        writer.setDrawColor(static_cast<float>(row * 5 % 256), 0, static_cast<float>(page % 256));
        writer.setLineWidth(0.1f * static_cast<float>(row % 5 + 1));
        writer.line(10, y, 200, y + 0.5f);
        writer.setFillColor(255, static_cast<float>(row * 3 % 256), 0);
        writer.rect(10, y, 190, 4, row % 2 == 0 ? "F" : "");
    }
}

void writeDocument(benchmark::State& state, BufferGrowth growth)
{
    tabulon::pdf::setBufferGrowth(growth);
    const int pages = static_cast<int>(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state) {
        PdfWriter writer;
        writer.initialize();
        writer.create("P", "mm", "595.28,841.89");
        for (int page = 0; page < pages; ++page) {
            writer.addPage("", "");
            drawPage(writer, page);
        }
        writer.close();
        bytes = writer.bytes().size();
        benchmark::DoNotOptimize(writer.bytes().data());
    }
    tabulon::pdf::setBufferGrowth(BufferGrowth::Exact);
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["file MB"] = static_cast<double>(bytes) / 1e6;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}

void BM_ExactGrowth(benchmark::State& state) { writeDocument(state, BufferGrowth::Exact); }
void BM_GeometricGrowth(benchmark::State& state) { writeDocument(state, BufferGrowth::Geometric); }

BENCHMARK(BM_ExactGrowth)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GeometricGrowth)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
