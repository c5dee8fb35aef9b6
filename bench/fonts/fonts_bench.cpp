// Speed of text output, text measurement and TrueType loading and embedding.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <optional>

#include "ascii85.h"
#include "pdf_writer.h"
#include "truetype.h"

namespace tabulon::pdf {
namespace {

// A TrueType file of about 400 KB.
constexpr const char* kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";

std::vector<std::uint8_t> readFile(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class FileFontSource : public FontSource {
public:
    explicit FileFontSource(const char* path) : path_(path) {}
    std::optional<SystemFont> findFont(std::string_view, std::int32_t) override
    {
        return SystemFont{"DejaVu Serif", readFile(path_)};
    }

private:
    const char* path_;
};

void startDocument(PdfWriter& writer)
{
    writer.initialize();
    writer.create("P", "mm", "");
    writer.addPage("", "");
}

// One million short texts, each with characters that need escaping, on one page.
void BM_TextWithEscaping(benchmark::State& state)
{
    const char* texts[] = {"Sum (net)", "C:\\temp", "Total 1.234,50", "(a)\tb"};
    for (auto _ : state) {
        PdfWriter writer;
        startDocument(writer);
        writer.setFont("Arial", "", 10);
        for (int i = 0; i < 1000000; ++i) writer.text(10.0f, 20.0f + static_cast<float>(i % 250), texts[i % 4]);
        benchmark::DoNotOptimize(writer.pageContent(writer.document().pages.size() - 1).size());
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(BM_TextWithEscaping)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GetStringWidth(benchmark::State& state)
{
    FileFontSource source(kFontPath);
    PdfWriter writer;
    startDocument(writer);
    writer.setFontSource(&source);
    writer.setFont(state.range(0) == 0 ? "Helvetica" : "DejaVu Serif", "", 10);
    const std::string text = "Betrag inkl. MwSt. 1.234,56 \x80";
    for (auto _ : state) benchmark::DoNotOptimize(writer.getStringWidth(text, true));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
    state.SetLabel(state.range(0) == 0 ? "core font" : "TrueType");
}
BENCHMARK(BM_GetStringWidth)->Arg(0)->Arg(1);

// Load (read the file), parse and embed (ASCII85) one TrueType font in a document.
void BM_LoadParseEmbedTrueType(benchmark::State& state)
{
    FileFontSource source(kFontPath);
    for (auto _ : state) {
        PdfWriter writer;
        startDocument(writer);
        writer.setFontSource(&source);
        writer.setFont("DejaVu Serif", "", 10);
        writer.text(10, 20, "Text");
        writer.close();
        benchmark::DoNotOptimize(writer.bytes().size());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(readFile(kFontPath).size()));
}
BENCHMARK(BM_LoadParseEmbedTrueType)->Unit(benchmark::kMillisecond);

void BM_ParseTrueType(benchmark::State& state)
{
    std::vector<std::uint8_t> data = readFile(kFontPath);
    for (auto _ : state) {
        TrueTypeFont record;
        benchmark::DoNotOptimize(parseTrueType(data, record));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.size()));
}
BENCHMARK(BM_ParseTrueType)->Unit(benchmark::kMillisecond);

void BM_Ascii85(benchmark::State& state)
{
    std::vector<std::uint8_t> data = readFile(kFontPath);
    ByteBuffer out;
    for (auto _ : state) benchmark::DoNotOptimize(encodeAscii85(data, out));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.size()));
}
BENCHMARK(BM_Ascii85)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tabulon::pdf

BENCHMARK_MAIN();
