// Files whose headers claim far more than they hold: pictures of 30,000 x 30,000
// pixels in a few dozen bytes, placed by a job, and TrueType fonts whose table
// directory claims gigabytes. Each ends cleanly with the picture's error or the
// font's fallback, the rest of the PDF is written, and memory stays small.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <iostream>

#include "child_process.h"
#include "claim_files.h"
#include "font_source.h"
#include "pdf_check.h"
#include "pdf_readers.h"
#include "pdf_writer.h"

namespace tabulon::test {
namespace {

constexpr long kSmallProgramKb = 64 * 1024;
constexpr std::uint32_t kClaim = 30000;

TEST(HugeClaims, PicturesClaimingThirtyThousandPixelsSquareEndCleanly)
{
    struct Case {
        const char* file;
        std::string bytes;
        std::string warning;  // "" when the picture is placed
    } cases[] = {
        {"huge.jpg", claimingJpeg(kClaim, kClaim, 16), "tabulon-export: warning: picture huge.jpg left out: Not a JPEG file.\n"},
        {"huge.png", claimingPng(kClaim, kClaim, 1000), "tabulon-export: warning: picture huge.png left out: Incorrect PNG file.\n"},
        {"huge.j2k", claimingJpx(kClaim, kClaim, ""),
         "tabulon-export: warning: picture huge.j2k left out: Problem reading image file in memory.\n"},
        {"huge.wmf", claimingMetafile(kClaim, kClaim), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        writeTempFile(c.file, c.bytes);
        std::string job = "Doc,P/*\rimg,10,10,50,50," + std::string(c.file) + "/*\rtxt,A,N,12,10,80,K/*Still here\r";
        std::string pdf = tempFolder() + "/" + c.file + ".pdf";
        ChildOptions options;
        options.arguments = {TABULON_EXPORT_PROGRAM, writeTempFile("huge-job.txt", job), "-o", pdf};
        options.workingFolder = tempFolder();
        ChildResult run = runChild(options);
        EXPECT_EQ(run.exitStatus, 0) << run.errors;
        EXPECT_EQ(run.errors, c.warning);
        EXPECT_LE(run.peakRssKb, kSmallProgramKb);
        std::string report;
        EXPECT_TRUE(qpdfAccepts(pdf, &report)) << report;
        EXPECT_TRUE(mutoolAccepts(pdf, &report)) << report;
        EXPECT_EQ(pdfinfoPages(pdf), 1);
        EXPECT_NE(pdfText(pdf).find("Still here"), std::string::npos);
        EXPECT_EQ(readFile(pdf).find("/Subtype /Form") != std::string::npos, c.warning.empty());

        // The preview's decoders read the same files for the page pictures.
        options.arguments = {TABULON_EXPORT_PROGRAM, writeTempFile("huge-job.txt", job), "--png",
                             tempFolder() + "/pages-" + c.file};
        ChildResult pages = runChild(options);
        EXPECT_EQ(pages.exitStatus, 0) << pages.errors;
        EXPECT_LE(pages.peakRssKb, 2 * kSmallProgramKb);
        std::cout << c.file << ": peak RSS " << run.peakRssKb / 1024 << " MiB for the PDF, " << pages.peakRssKb / 1024
                  << " MiB for the page pictures\n";
    }
}

// A job may name a pipe, a folder or a device as its picture: it is left out at
// once, where reading a pipe would wait for a writer for ever.
TEST(HugeClaims, PicturesThatAreNoFilesAreLeftOutWithoutWaiting)
{
    std::string fifo = tempFolder() + "/picture-fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string job = "Doc,P/*\rimg,10,10,50,50," + fifo + "/*\rimg,10,10,50,50," + tempFolder() +
                      "/*\rimg,10,10,50,50,/dev/zero/*\rtxt,A,N,12,10,80,K/*Still here\r";
    std::string pdf = tempFolder() + "/no-files.pdf";
    ChildOptions options;
    options.arguments = {TABULON_EXPORT_PROGRAM, writeTempFile("no-files.txt", job), "-o", pdf};
    options.hangSeconds = 60;
    ChildResult run = runChild(options);
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exitStatus, 0) << run.errors;
    EXPECT_EQ(run.errors, "tabulon-export: warning: picture " + fifo + " left out: Error opening image file.\n" +
                              "tabulon-export: warning: picture " + tempFolder() +
                              " left out: Error opening image file.\n" +
                              "tabulon-export: warning: picture /dev/zero left out: Error opening image file.\n");
    std::string report;
    EXPECT_TRUE(qpdfAccepts(pdf, &report)) << report;
    EXPECT_NE(pdfText(pdf).find("Still here"), std::string::npos);

    options.arguments = {TABULON_EXPORT_PROGRAM, writeTempFile("no-files.txt", job), "--png",
                         tempFolder() + "/no-files-pages"};
    ChildResult pages = runChild(options);
    EXPECT_EQ(pages.signal, 0);
    EXPECT_EQ(pages.exitStatus, 0) << pages.errors;
    ::unlink(fifo.c_str());
}

class OneFontSource : public pdf::FontSource {
public:
    explicit OneFontSource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::optional<pdf::SystemFont> findFont(std::string_view, std::int32_t) override
    {
        return pdf::SystemFont{"Hostile", std::vector<std::uint8_t>(bytes_.begin(), bytes_.end())};
    }

private:
    std::string bytes_;
};

// A table directory whose every table claims `length` bytes at `offset`.
std::string fontClaiming(std::uint32_t tables, std::uint32_t offset, std::uint32_t length, std::size_t recorded)
{
    std::string font;
    be32(font, 0x00010000);
    be16(font, tables);
    be16(font, 0), be16(font, 0), be16(font, 0);
    const char* tags[] = {"cmap", "glyf", "head", "hhea", "hmtx", "loca", "maxp", "name", "OS/2", "post"};
    for (std::size_t i = 0; i < recorded; ++i) {
        font += tags[i % 10];
        be32(font, 0);
        be32(font, offset);
        be32(font, length);
    }
    return font + std::string(64, '\0');
}

struct FontRun {
    int status = -1;
    long peakRssKb = 0;
};

// The writer picks the font in a child process, so that its peak memory is its own.
FontRun writeWithFont(const std::string& fontBytes, const std::string& path)
{
    pid_t child = ::fork();
    if (child == 0) {
        OneFontSource source(fontBytes);
        pdf::PdfWriter writer;
        writer.setFontSource(&source);
        writer.create("P", "mm", "");
        writer.addPage("", "");
        writer.setFont("Hostile", "", 12);
        writer.text(10, 20, "Hostile font");
        writer.save(path);
        ::_exit(writer.errorCode() == 0 ? 0 : 1);
    }
    FontRun run;
    int status = 0;
    rusage usage{};
    if (child > 0 && ::wait4(child, &status, 0, &usage) == child) {
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.peakRssKb = usage.ru_maxrss;
    }
    return run;
}

TEST(HugeClaims, FontTablesClaimingGigabytesFallBackToHelvetica)
{
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"ten tables of 4 GB each", fontClaiming(10, 12 + 160, 0xFFFFFF00u, 10)},
        {"tables past the end, wrapping 32 bits", fontClaiming(10, 0xFFFFFFF0u, 0x20, 10)},
        {"65,535 tables in a short file", fontClaiming(0xFFFF, 12, 0x7FFFFFFFu, 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = tempFolder() + "/hostile-font.pdf";
        FontRun run = writeWithFont(c.bytes, path);
        EXPECT_EQ(run.status, 0);
        EXPECT_LE(run.peakRssKb, kSmallProgramKb);
        std::cout << c.name << ": peak RSS " << run.peakRssKb / 1024 << " MiB\n";
        std::string report;
        EXPECT_TRUE(qpdfAccepts(path, &report)) << report;
        EXPECT_TRUE(mutoolAccepts(path, &report)) << report;
        EXPECT_NE(readFile(path).find("/BaseFont /Helvetica\n"), std::string::npos);
        EXPECT_NE(pdfText(path).find("Hostile font"), std::string::npos);
    }
}

}  // namespace
}  // namespace tabulon::test
