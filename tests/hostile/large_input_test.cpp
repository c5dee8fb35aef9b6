// Large and odd input through tabulon-export, run as a process: each case ends
// cleanly, and the child's peak memory (ru_maxrss from wait4) stays within a
// generous multiple of what it really read and wrote, never near what a header
// claims.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "child_process.h"
#include "pdf_check.h"
#include "pdf_readers.h"

namespace tabulon::test {
namespace {

constexpr long kBaseKb = 64 * 1024;  // the program with its libraries and fonts

struct ExportRun {
    ChildResult child;
    std::string pdfPath;
    std::size_t jobBytes = 0;
    std::size_t pdfBytes = 0;
};

ExportRun exportJobFile(const std::string& name, const std::string& job, std::vector<std::string> extra = {})
{
    ExportRun run;
    run.jobBytes = job.size();
    std::string jobPath = writeTempFile(name + ".txt", job);
    run.pdfPath = tempFolder() + "/" + name + ".pdf";
    ChildOptions options;
    options.arguments = {TABULON_EXPORT_PROGRAM, jobPath, "-o", run.pdfPath};
    options.arguments.insert(options.arguments.end(), extra.begin(), extra.end());
    options.workingFolder = tempFolder();
    run.child = runChild(options);
    run.pdfBytes = readFile(run.pdfPath).size();
    std::remove(jobPath.c_str());
    return run;
}

// Peak memory within four times what was read and written, over the base.
void expectProportionalMemory(const ExportRun& run)
{
    long boundKb = kBaseKb + static_cast<long>(4 * (run.jobBytes + run.pdfBytes) / 1024);
    EXPECT_LE(run.child.peakRssKb, boundKb) << "job " << run.jobBytes << " bytes, PDF " << run.pdfBytes << " bytes";
    ::testing::Test::RecordProperty("peak_rss_kb", std::to_string(run.child.peakRssKb));
    std::cout << "peak RSS " << run.child.peakRssKb / 1024 << " MiB for a job of " << run.jobBytes / 1024
              << " KiB and a PDF of " << run.pdfBytes / 1024 << " KiB\n";
}

void expectReadablePdf(const std::string& path, int pages)
{
    std::string report;
    EXPECT_TRUE(qpdfAccepts(path, &report)) << report;
    EXPECT_EQ(pdfinfoPages(path), pages);
}

TEST(LargeInput, MillionLineJobGivesEveryPage)
{
    std::string job = "Big,P/*\r";
    job.reserve(32 << 20);
    for (int i = 1; i <= 1000000; ++i) {
        if (i % 50 == 0) {
            job += "eop\r";
        } else {
            job += "txt,A,N,10,10," + std::to_string(20 + (i % 25) * 10) + ",K/*Row " + std::to_string(i) + "\r";
        }
    }
    ExportRun run = exportJobFile("million-lines", job, {"--compress"});
    ASSERT_EQ(run.child.exitStatus, 0) << run.child.errors;
    EXPECT_EQ(run.child.errors, "");
    expectReadablePdf(run.pdfPath, 20001);
    expectProportionalMemory(run);
    std::remove(run.pdfPath.c_str());
}

// The total-pages alias on each of 100,000 pages: the pages are rewritten at close
// within one more copy of their contents, not a buffer of their own each (which
// took 255 MB where the same job without the alias takes 55 MB).
TEST(LargeInput, TotalPagesAliasOnEveryPageCostsOneCopyOfThePages)
{
    auto run = [](const std::string& total) {
        std::string job = "Pages,P/*\r";
        for (int i = 1; i <= 100000; ++i) job += "txt,,,10,10,20,K/*Page " + std::to_string(i) + " of " + total + "\reop/*\r";
        return exportJobFile("total-pages", job);
    };
    const ExportRun fixed = run("100001");
    const ExportRun alias = run("{nb}");
    ASSERT_EQ(alias.child.exitStatus, 0) << alias.child.errors;
    EXPECT_NE(pdfText(alias.pdfPath, 100000).find("Page 100000 of 100001"), std::string::npos);
    EXPECT_EQ(readFile(alias.pdfPath).size(), fixed.pdfBytes);
    EXPECT_LE(alias.child.peakRssKb, fixed.child.peakRssKb + static_cast<long>(alias.pdfBytes / 1024));
    std::cout << "peak RSS " << fixed.child.peakRssKb / 1024 << " MiB without the alias, " << alias.child.peakRssKb / 1024
              << " MiB with it\n";
    std::remove(alias.pdfPath.c_str());
}

TEST(LargeInput, TenMegabyteLinesEndCleanly)
{
    const std::string tenMegabytes(10 << 20, 'w');
    struct Case {
        const char* name;
        std::string job;
        int exitStatus;
        std::string lastError;  // the end of standard error
    } cases[] = {
        // One text of 10 MB, then a line that must still be drawn.
        {"long-text", "Doc,P/*\rtxt,A,N,12,10,10,K/*" + tenMegabytes + "\rtxt,A,N,12,10,30,K/*After\r", 0, ""},
        // 10 MB without a single CR after the header.
        {"no-line-end", "Doc,P/*\r" + tenMegabytes, 0, ""},
        // 10 MB of unknown command fields.
        {"long-command", "Doc,P/*\r" + tenMegabytes + ",1,2/*\rtxt,A,N,12,10,30,K/*After\r", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExportRun run = exportJobFile(c.name, c.job);
        EXPECT_EQ(run.child.exitStatus, c.exitStatus) << run.child.errors.substr(0, 300);
        expectReadablePdf(run.pdfPath, 1);
        expectProportionalMemory(run);
        if (c.job.find("After") != std::string::npos) {
            EXPECT_NE(pdfText(run.pdfPath).find("After"), std::string::npos);
        }
        std::remove(run.pdfPath.c_str());
    }
}

// 10,000 text lines in one family, each with a style string of its own: every
// style is a font record of its own, and all of them share the one font file the
// system gives for the family, loaded once.
TEST(LargeInput, TenThousandStylesOfOneFamilyShareOneLoadedFont)
{
    std::string job = "Styles,P/*\r";
    for (int i = 0; i < 10000; ++i) {
        std::string style = {static_cast<char>('A' + i / 676), static_cast<char>('A' + i / 26 % 26),
                             static_cast<char>('A' + i % 26)};
        job += "txt,C," + style + ",10,10," + std::to_string(20 + (i % 25) * 10) + ",K/*Row " + std::to_string(i) + "\r";
        if (i % 25 == 24) job += "eop/*\r";
    }
    ExportRun run = exportJobFile("styles", job);
    ASSERT_EQ(run.child.exitStatus, 0) << run.child.errors;
    EXPECT_EQ(run.child.errors, "");
    expectReadablePdf(run.pdfPath, 401);
    // One page: a reader takes minutes over 10,000 fonts on every page.
    EXPECT_NE(pdfText(run.pdfPath, 400).find("Row 9999"), std::string::npos);
    EXPECT_LE(run.child.peakRssKb, 100 * 1024);
    expectProportionalMemory(run);
    std::remove(run.pdfPath.c_str());
}

// Work that grows with the job, never with its square: the program's processor
// time for ten times the lines must grow about tenfold (a search through what
// came before grows a hundredfold). Processor time, not wall time, so that a busy
// machine does not decide.
TEST(LargeInput, ManyDistinctMissingPicturesCostLinearWork)
{
    auto run = [](int pictures) {
        std::string job = "Pics,P/*\r";
        for (int i = 0; i < pictures; ++i) job += "img,10,10,20,20,missing-" + std::to_string(i) + ".png/*\r";
        ExportRun result = exportJobFile("missing-pictures", job);
        EXPECT_EQ(result.child.exitStatus, 0);
        std::string last = "missing-" + std::to_string(pictures - 1) + ".png left out";
        EXPECT_NE(result.child.errors.find(last), std::string::npos);
        expectReadablePdf(result.pdfPath, 1);
        std::remove(result.pdfPath.c_str());
        return result.child.cpuSeconds;
    };
    double small = run(20000);
    double large = run(200000);
    std::cout << "processor time: 20,000 pictures " << small << " s, 200,000 pictures " << large << " s\n";
    EXPECT_LE(large, 30 * std::max(small, 0.02));
}

// A job that is one 10 MB header: the document name is the whole text, the file
// name is too long for the system, and the message shows the name shortened.
TEST(LargeInput, TenMegabyteDocumentNameFailsWithAShortMessage)
{
    std::string name(10 << 20, 'n');
    ChildOptions options;
    options.arguments = {TABULON_EXPORT_PROGRAM, writeTempFile("long-name.txt", name)};
    options.workingFolder = tempFolder();
    ChildResult run = runChild(options);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.errors, "tabulon-export: " + std::string(157, 'n') + "..." + std::string(36, 'n') +
                              ".pdf not written (error 16): Error creating file.\n");
    EXPECT_LE(run.peakRssKb, kBaseKb + 4 * 10 * 1024);
}

}  // namespace
}  // namespace tabulon::test
