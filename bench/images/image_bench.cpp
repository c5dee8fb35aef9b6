// Speed of picture placement: 1,000 different JPEG and PNG files of about 50 KB
// each (read, parsed and embedded once), and one file placed 10,000 times (only
// the placement line after the first).
//
//   ./build/bench/images/image_bench
//
// The files are made once in a temporary folder: JPEGs from a real sample padded
// with unique APP15 segments, PNGs of random RGB noise (which deflate cannot
// shrink), so every file has its own bytes.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "pdf_writer.h"

namespace {

constexpr std::size_t kTargetBytes = 50 * 1024;
constexpr int kDistinctFiles = 1000;
constexpr int kPlacements = 10000;

std::string readWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void be32(std::string& s, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>(v >> shift);
}

void chunk(std::string& png, const char* type, const std::string& data)
{
    be32(png, static_cast<std::uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    png += body;
    be32(png, static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

std::string noisePng(std::mt19937& random)
{
    const int side = 128;  // 128 x 128 RGB noise: about 49 KB compressed
    std::string rows;
    for (int y = 0; y < side; ++y) {
        rows += '\0';
        for (int x = 0; x < side * 3; ++x) rows += static_cast<char>(random());
    }
    uLongf size = compressBound(static_cast<uLong>(rows.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(rows.data()), static_cast<uLong>(rows.size()));
    packed.resize(size);
    std::string png = "\x89PNG\r\n\x1A\n", ihdr;
    be32(ihdr, side);
    be32(ihdr, side);
    ihdr += std::string("\x08\x02\x00\x00\x00", 5);
    chunk(png, "IHDR", ihdr);
    chunk(png, "IDAT", packed);
    chunk(png, "IEND", "");
    return png;
}

std::string paddedJpeg(const std::string& sample, std::mt19937& random)
{
    // After SOI and the JFIF segment (its length at bytes 4 and 5).
    const std::size_t split = 4 + ((static_cast<unsigned char>(sample[4]) << 8) | static_cast<unsigned char>(sample[5]));
    std::string padding;
    while (sample.size() + padding.size() < kTargetBytes) {
        const std::size_t length = std::min<std::size_t>(60000, kTargetBytes - sample.size() - padding.size());
        padding += "\xFF\xEF";
        padding += static_cast<char>((length + 2) >> 8);
        padding += static_cast<char>(length + 2);
        for (std::size_t i = 0; i < length; ++i) padding += static_cast<char>(random());
    }
    return sample.substr(0, split) + padding + sample.substr(split);
}

struct Corpus {
    std::vector<std::string> paths;
    std::size_t bytes = 0;
};

const Corpus& corpus()
{
    static Corpus made = [] {
        Corpus c;
        char folder[] = "/tmp/tabulon-image-bench-XXXXXX";
        if (mkdtemp(folder) == nullptr) std::abort();
        std::mt19937 random(4);
        const std::string sample = readWhole(std::string(TABULON_IMAGE_DATA) + "/jpeg/ljt-testorig.jpg");
        for (int i = 0; i < kDistinctFiles; ++i) {
            const bool jpeg = i % 2 == 0;
            const std::string bytes = jpeg ? paddedJpeg(sample, random) : noisePng(random);
            const std::string path = std::string(folder) + "/picture" + std::to_string(i) + (jpeg ? ".jpg" : ".png");
            std::ofstream(path, std::ios::binary) << bytes;
            c.paths.push_back(path);
            c.bytes += bytes.size();
        }
        return c;
    }();
    return made;
}

void startDocument(tabulon::pdf::PdfWriter& writer)
{
    writer.initialize();
    writer.create("P", "mm", "595.28,841.89");
    writer.addPage("", "");
}

void BM_PlaceDistinctPictures(benchmark::State& state)
{
    const Corpus& files = corpus();
    for (auto _ : state) {
        tabulon::pdf::PdfWriter writer;
        startDocument(writer);
        for (std::size_t i = 0; i < files.paths.size(); ++i) {
            if (i % 50 == 49) writer.addPage("", "");
            writer.image(files.paths[i], 10.0f + static_cast<float>(i % 5) * 38, 10.0f + static_cast<float>(i % 50 / 5) * 28, 36, 0, 0);
        }
        writer.close();
        if (writer.errorCode() != 0) state.SkipWithError("a picture failed");
        benchmark::DoNotOptimize(writer.bytes().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.bytes));
    state.counters["files"] = static_cast<double>(files.paths.size());
}
BENCHMARK(BM_PlaceDistinctPictures)->Unit(benchmark::kMillisecond);

void BM_PlaceOneFileManyTimes(benchmark::State& state)
{
    const std::string& path = corpus().paths[0];
    for (auto _ : state) {
        tabulon::pdf::PdfWriter writer;
        startDocument(writer);
        for (int i = 0; i < kPlacements; ++i) writer.image(path, static_cast<float>(i % 180), static_cast<float>(i % 260), 20, 0, 0);
        writer.close();
        benchmark::DoNotOptimize(writer.bytes().data());
    }
    state.SetItemsProcessed(state.iterations() * kPlacements);
}
BENCHMARK(BM_PlaceOneFileManyTimes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
