// Every input a fuzzer found (fuzz/regressions/<harness>/) and every seed
// (fuzz/corpus/<harness>/) goes through its harness again; a harness aborts on a
// failed check, so a fault that returns fails this test.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "harnesses.h"

namespace {

namespace fs = std::filesystem;

struct Harness {
    const char* name;
    int (*fuzzOne)(const std::uint8_t*, std::size_t);
};

const Harness kHarnesses[] = {
    {"truetype", tabulon::fuzz::truetype::fuzzOne}, {"jpeg", tabulon::fuzz::jpeg::fuzzOne},
    {"png", tabulon::fuzz::png::fuzzOne},           {"jpx", tabulon::fuzz::jpx::fuzzOne},
    {"wmf", tabulon::fuzz::wmf::fuzzOne},           {"job", tabulon::fuzz::job::fuzzOne},
};

void PrintTo(const Harness& harness, std::ostream* out)
{
    *out << harness.name;
}

std::vector<fs::path> inputsIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    if (!fs::is_directory(folder)) return files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::uint8_t> readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t replay(const Harness& harness, const char* kind)
{
    std::vector<fs::path> files = inputsIn(fs::path(TABULON_FUZZ_DIR) / kind / harness.name);
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        std::vector<std::uint8_t> bytes = readFile(file);
        EXPECT_EQ(harness.fuzzOne(bytes.data(), bytes.size()), 0);
    }
    return files.size();
}

class FuzzReplay : public testing::TestWithParam<Harness> {};

TEST_P(FuzzReplay, EveryKeptFindingPassesItsChecks)
{
    replay(GetParam(), "regressions");
}

TEST_P(FuzzReplay, EverySeedPassesItsChecks)
{
    EXPECT_GT(replay(GetParam(), "corpus"), 0u) << "a harness without seeds";
}

INSTANTIATE_TEST_SUITE_P(Harnesses, FuzzReplay, testing::ValuesIn(kHarnesses),
                         [](const testing::TestParamInfo<Harness>& info) { return std::string(info.param.name); });

}  // namespace
