// The demo's PDF, byte for byte: `SOURCE_DATE_EPOCH=0 tabulon-export --demo` run
// beside our logo must write exactly the committed golden file. Every font request
// is served the same committed TrueType file, so the bytes do not depend on the
// fonts of the machine. scripts/make-demo-golden.sh writes a new golden after an
// intended change (it runs the first test with TABULON_WRITE_GOLDEN=1).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "export_command.h"
#include "pdf_check.h"

namespace tabulon::exporter {
namespace {

// Serves the committed Liberation Sans for every family and style.
class FixedFontSource : public pdf::FontSource {
public:
    std::optional<pdf::SystemFont> findFont(std::string_view, std::int32_t) override
    {
        std::string file = test::readFile(TABULON_TEST_FONT);
        if (file.empty()) return std::nullopt;
        return pdf::SystemFont{"Liberation Sans", std::vector<std::uint8_t>(file.begin(), file.end())};
    }
};

// A fresh folder holding only the logo the demo's job names.
std::string demoFolder(const std::string& name)
{
    std::string folder = test::tempFolder() + "/" + name;
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(TABULON_LOGO, folder + "/printlogo.jpg",
                               std::filesystem::copy_options::overwrite_existing);
    return folder;
}

std::string exportDemoIn(const std::string& folder)
{
    std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    ::setenv("SOURCE_DATE_EPOCH", "0", 1);
    FixedFontSource fonts;
    char program[] = "tabulon-export";
    char demo[] = "--demo";
    char* argv[] = {program, demo};
    std::istringstream in;
    std::ostringstream out, err;
    int status = exportMain(2, argv, in, out, err, &fonts);
    ::unsetenv("SOURCE_DATE_EPOCH");
    std::filesystem::current_path(previous);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(err.str(), "");
    return test::readFile(folder + "/My_doc.pdf");
}

TEST(DemoGolden, ExportEqualsTheCommittedGoldenByteForByte)
{
    std::string written = exportDemoIn(demoFolder("golden-in-process"));
    if (const char* write = std::getenv("TABULON_WRITE_GOLDEN"); write != nullptr && std::string(write) == "1") {
        std::ofstream(TABULON_DEMO_GOLDEN, std::ios::binary) << written;
    }
    std::string golden = test::readFile(TABULON_DEMO_GOLDEN);
    ASSERT_FALSE(golden.empty()) << TABULON_DEMO_GOLDEN;
    EXPECT_EQ(written.size(), golden.size());
    EXPECT_TRUE(written == golden) << "the demo's PDF changed; see scripts/make-demo-golden.sh";
}

// The page text in reading order, one line per text line with blanks collapsed.
std::vector<std::string> layoutLines(const std::string& path)
{
    test::CommandResult run = test::runCommand("pdftotext -layout '" + path + "' -");
    std::vector<std::string> lines;
    std::string line;
    for (char c : run.output + "\n") {
        if (c == '\n' || c == '\f') {
            if (!line.empty() && line.back() == ' ') line.pop_back();
            if (!line.empty()) lines.push_back(line);
            line.clear();
        } else if (c != ' ' || (!line.empty() && line.back() != ' ')) {
            line += c;
        }
    }
    return lines;
}

// Four pages, qpdf's approval, and on every page the heading, its rows in order and
// the footer.
void expectDemoPdf(const std::string& path)
{
    std::string report;
    EXPECT_TRUE(test::qpdfAccepts(path, &report)) << report;
    EXPECT_EQ(test::pdfinfoPages(path), 4);
    std::vector<std::string> expected;
    for (int page = 0; page < 4; ++page) {
        expected.push_back("Banking transactions from Kvarnbanken Date: 2015-11-06");
        expected.push_back("Acc. Pay_Date Verification Amount Bank Ver_nbr");
        for (int row = page * 47; row < std::min(181, page * 47 + 47); ++row) {
            expected.push_back("3001 2015-11-06 Sales PC software 1500,0 1930 " + std::to_string(row));
        }
        expected.push_back("Company: Morvenda Kanalgatan 7 Ljung\xC3\xA5");  // pdftotext writes UTF-8
    }
    EXPECT_EQ(layoutLines(path), expected);
}

TEST(DemoGolden, GoldenIsAValidFourPagePdfWithEveryRow) { expectDemoPdf(TABULON_DEMO_GOLDEN); }

// The program itself, with the machine's own fonts: the same document, whose font
// objects depend on what is installed.
TEST(DemoGolden, ProgramWritesMyDocPdfInTheCurrentFolder)
{
    std::string folder = demoFolder("golden-program");
    test::CommandResult run = test::runCommand("cd '" + folder + "' && SOURCE_DATE_EPOCH=0 '" TABULON_EXPORT_PROGRAM
                                               "' --demo 2>&1");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "");
    expectDemoPdf(folder + "/My_doc.pdf");
}

}  // namespace
}  // namespace tabulon::exporter
