// The ledger workload of the speed comparison: the job lines it writes, and that every
// program in the comparison turns it into pages a reader accepts.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ledger_job.h"
#include "pdf_check.h"

namespace tabulon::bench {
namespace {

using test::runCommand;

std::vector<std::string> jobLines(const std::string& job)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : job) {
        if (c == '\r') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    return lines;
}

std::string ledgerJob(int pages, LedgerFonts fonts)
{
    std::ostringstream out;
    writeLedgerJob(out, pages, fonts);
    return out.str();
}

struct FontCase {
    LedgerFonts fonts;
    std::string rowStyle;
};

TEST(LedgerJob, TwoPagesHaveTheDemoHeadingRowsAndOnePageBreak)
{
    for (const FontCase& c : {FontCase{LedgerFonts::Core, ""}, FontCase{LedgerFonts::Embedded, "N"}}) {
        SCOPED_TRACE("row style \"" + c.rowStyle + "\"");
        const std::string job = ledgerJob(2, c.fonts);
        const std::vector<std::string> lines = jobLines(job);
        const std::string row = "txt,A," + c.rowStyle + ",12,";

        const std::vector<std::string> firstLines = {
            "My_doc,P/*",
            "txt,A,B,16,10,22,K/*Banking transactions from  Kustbanken",
            "txt,A,B,16,125,22,K/*Date:  2015-11-06",
            "txt,A,B,12,10,32/*Acc.",
            "txt,A,B,12,25,32,K/*Pay_Date",
            "txt,A,B,12,55,32,K/*Verification",
            "txt,A,B,12,125,32,K/*Amount",
            "txt,A,B,12,155,32,K/*Bank",
            "txt,A,B,12,170,32,K/*Ver_nbr",
            "img,10,5,50,15,printlogo.jpg/*",
            "line,10,28,100,28,B,5/*",
            "box,10,286,190,8,Y,F,4/*",
            "txt,A,I,12,12,288,F/*Company: Morvenda  Hamngatan 4  Lund",
            row + "10,37/*3001",
            row + "25,37/*2015-11-06",
            row + "55,37/*Sales PC software",
            row + "125,37/*1500,0",
            row + "155,37/*1930",
            row + "170,37/*0",
        };
        ASSERT_EQ(lines.size(), 2u * (13 + 47 * 6) + 1);
        EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 19), firstLines);

        // Row 46 closes page 1 at y 267; the page break repeats the heading; row 47
        // opens page 2 at y 37.
        const std::size_t lastOfPage1 = 13 + 47 * 6 - 1;
        EXPECT_EQ(lines[lastOfPage1], row + "170,267/*46");
        EXPECT_EQ(lines[lastOfPage1 + 1], "eop/*");
        EXPECT_EQ(std::vector<std::string>(lines.begin() + lastOfPage1 + 2, lines.begin() + lastOfPage1 + 15),
                  std::vector<std::string>(firstLines.begin(), firstLines.begin() + 13));
        EXPECT_EQ(lines[lastOfPage1 + 20], row + "170,37/*47");
        EXPECT_EQ(lines.back(), row + "170,267/*93");

        EXPECT_EQ(std::count(job.begin(), job.end(), '\n'), 0);
        EXPECT_EQ(job.back(), '\r');
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "eop/*"), 1);
    }
}

// A folder holding the logo, where a program is run as the benchmark runs it.
std::string ledgerFolder()
{
    std::string folder = test::tempFolder() + "/ledger";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(LEDGER_LOGO, folder + "/printlogo.jpg",
                               std::filesystem::copy_options::overwrite_existing);
    return folder;
}

// Runs `command` in the ledger folder and checks the PDF it writes: accepted by qpdf,
// three pages, the heading, the footer and the last row's number in the text.
void expectThreeLedgerPages(const std::string& command, const std::string& out)
{
    const std::string folder = ledgerFolder();
    const test::CommandResult run = runCommand("cd '" + folder + "' && " + command + " 2>&1");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string path = folder + "/" + out;
    std::string report;
    EXPECT_TRUE(test::qpdfAccepts(path, &report)) << report;
    EXPECT_EQ(test::pdfinfoPages(path), 3);
    const std::string text = test::pdfText(path);
    EXPECT_NE(text.find("Banking transactions from"), std::string::npos);
    EXPECT_NE(text.find("Company: Morvenda"), std::string::npos);
    EXPECT_NE(text.find("140"), std::string::npos);
}

TEST(LedgerPeers, EveryPeerWritesThreePagesAReaderAccepts)
{
    struct Peer {
        std::string program, options;
    };
    for (const Peer& peer : {Peer{PEER_HPDF, ""}, Peer{PEER_HPDF, "--compress"}, Peer{PEER_CAIRO, ""}, Peer{PEER_QT, ""}}) {
        SCOPED_TRACE(peer.program + " " + peer.options);
        const std::string out = std::filesystem::path(peer.program).filename().string() + peer.options + ".pdf";
        expectThreeLedgerPages("QT_QPA_PLATFORM=offscreen '" + peer.program + "' " + peer.options + " 3 " + out, out);
        if (!peer.options.empty()) {
            EXPECT_NE(test::readFile(ledgerFolder() + "/" + out).find("/FlateDecode"), std::string::npos);
        }
    }
}

#ifdef TABULON_EXPORT
TEST(LedgerPeers, TabulonExportWritesThreePagesAndEmbedsOnlyForStyleN)
{
    for (LedgerFonts fonts : {LedgerFonts::Core, LedgerFonts::Embedded}) {
        const bool embedded = fonts == LedgerFonts::Embedded;
        SCOPED_TRACE(embedded ? "embedded" : "core");
        const std::string name = embedded ? "embedded" : "core";
        std::ofstream(ledgerFolder() + "/" + name + ".job", std::ios::binary) << ledgerJob(3, fonts);
        expectThreeLedgerPages(std::string("'") + TABULON_EXPORT + "' " + name + ".job -o " + name + ".pdf",
                               name + ".pdf");
        const std::string pdf = test::readFile(ledgerFolder() + "/" + name + ".pdf");
        EXPECT_EQ(pdf.find("/FontFile2") != std::string::npos, embedded);
    }
}
#endif

}  // namespace
}  // namespace tabulon::bench
