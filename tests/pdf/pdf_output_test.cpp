// The file structure: objects, offsets, info, catalog, xref, trailer, close, save.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "pdf_check.h"
#include "pdf_date.h"
#include "pdf_writer.h"
#include "system_files.h"

namespace tabulon::pdf {
namespace {

using test::objectText;
using test::splitLines;

class ReproducibleDate : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("SOURCE_DATE_EPOCH", "0", 1); }
    void TearDown() override { ::unsetenv("SOURCE_DATE_EPOCH"); }
};

using FileStructure = ReproducibleDate;

std::string emptyDocument()
{
    PdfWriter writer;
    writer.initialize();
    writer.create("P", "mm", "595.28,841.89");
    writer.close();
    return std::string(writer.bytes());
}

TEST_F(FileStructure, EmptyDocumentHasObjectsOneToSixInTheirPlaces)
{
    std::string pdf = emptyDocument();
    EXPECT_EQ(test::checkXref(pdf), "");
    EXPECT_EQ(pdf.substr(0, 9), "%PDF-1.3\n");
    EXPECT_EQ(objectText(pdf, 1), "1 0 obj\n<</Type /Pages\n/Kids [3 0 R]\n/Count 1\n>>\nendobj\n");
    EXPECT_EQ(objectText(pdf, 2),
              "2 0 obj\n<<\n/ProcSet [/PDF /Text /ImageB /ImageC /ImageI]\n/Font <<\n>>\n>>\nendobj\n");
    EXPECT_EQ(objectText(pdf, 3),
              "3 0 obj\n<</Type /Page\n/Parent 1 0 R\n/MediaBox [0 0 595.28 841.89]\n/Resources 2 0 R\n"
              "/Contents 4 0 R>>\nendobj\n");
    EXPECT_EQ(objectText(pdf, 4), "4 0 obj\n<</Length 11>>\nstream\n2 J\n0.57 w\n\nendstream\nendobj\n");
    EXPECT_EQ(objectText(pdf, 6),
              "6 0 obj\n<<\n/Type /Catalog\n/Pages 1 0 R\n/OpenAction [1 0 R /FitH null]\n"
              "/PageLayout /OneColumn\n>>\nendobj\n");
    std::string tail = pdf.substr(pdf.find("trailer"));
    std::string xrefOffset = std::to_string(pdf.find("xref\n"));
    EXPECT_EQ(tail, "trailer\n<<\n/Size 7\n/Root 6 0 R\n/Info 5 0 R\n>>\nstartxref\n" + xrefOffset + "\n%%EOF\n");
    std::size_t table = pdf.find("xref\n0 7\n0000000000 65535 f \n");
    ASSERT_NE(table, std::string::npos);
    EXPECT_EQ(pdf.substr(table + 29 + 2 * 20, 20), "0000000009 00000 n \n");  // object 3, the first page
}

TEST_F(FileStructure, InfoStringsUseTheTwoByteForm)
{
    std::string pdf = emptyDocument();
    std::string producer = "/Producer (\xFE\xFF";
    for (char c : std::string("Vellumark v2.25 For Orvane X86")) producer += std::string(1, '\0') + c;
    producer += ")\n";
    std::string date = "/CreationDate (\xFE\xFF";
    for (char c : std::string("D:19700101000000")) date += std::string(1, '\0') + c;
    date += ")\n";
    EXPECT_EQ(objectText(pdf, 5), "5 0 obj\n<<\n" + producer + date + ">>\nendobj\n");
}

// Epoch seconds as UTC dates: leap days, century years, the 400-year cycle, and
// years of more than four digits.
TEST(CreationDate, EpochSecondsAreWrittenAsTheirUtcDate)
{
    const struct {
        long long seconds;
        const char* date;
    } cases[] = {
        {0, "D:19700101000000"},
        {1700000000, "D:20231114221320"},
        {951782400, "D:20000229000000"},
        {951868799, "D:20000229235959"},
        {4107542399, "D:21000228235959"},
        {4107542400, "D:21000301000000"},
        {13574563200, "D:24000229000000"},
        {253402300799, "D:99991231235959"},
        {253402300800, "D:100000101000000"},
        {12345678901234, "D:3931881228022034"},
        {67767976233532799, "D:21474836471231235959"},
        {-1, "D:19691231235959"},
    };
    for (const auto& c : cases) {
        std::optional<CalendarTime> time = utcTimeOfEpoch(c.seconds);
        ASSERT_TRUE(time.has_value()) << c.seconds;
        EXPECT_EQ(pdfDate(*time), c.date) << c.seconds;
    }
    EXPECT_FALSE(utcTimeOfEpoch(67767976233532800).has_value());  // past the last year
}

TEST(CreationDate, SourceDateEpochWhenItIsACountElseTheLocalTime)
{
    const std::string local = "D:" + std::to_string(localTimeNow()->year);
    const struct {
        const char* epoch;
        std::string date;  // the whole date, or the start of the local one
    } cases[] = {
        {"86400", "D:19700102000000"}, {"0", "D:19700101000000"}, {"67767976233532800", "D:"},
        {"-1", local},                 {"12x", local},            {"", local},
        {"99999999999999999999", local},
    };
    for (const auto& c : cases) {
        ::setenv("SOURCE_DATE_EPOCH", c.epoch, 1);
        const std::string date = creationDate();
        if (c.date == local) {
            EXPECT_EQ(date.size(), local.size() + 10) << c.epoch;
            EXPECT_EQ(date.substr(0, local.size()), local) << c.epoch;
        } else {
            EXPECT_EQ(date, c.date) << c.epoch;
        }
    }
    ::unsetenv("SOURCE_DATE_EPOCH");
}

TEST_F(FileStructure, InfoEntriesAppearOnlyWhenNotBlank)
{
    PdfWriter writer;
    writer.initialize();
    writer.create("", "", "");
    writer.setTitle("A");
    writer.setAuthor("   ");
    writer.setCreator("x(y)");
    writer.close();
    std::string info = objectText(writer.bytes(), 5);
    EXPECT_NE(info.find(std::string("/Title (\xFE\xFF\0A)\n", 13)), std::string::npos);
    EXPECT_EQ(info.find("/Author"), std::string::npos);
    EXPECT_NE(info.find(std::string("/Creator (\xFE\xFF\0x\0\\(\0y\0\\))\n", 23)), std::string::npos);
}

TEST_F(FileStructure, CatalogOpenActionFollowsTheZoomMode)
{
    struct Case {
        int zoom;
        const char* layout;
        const char* expected;
    } cases[] = {
        {-1, "/SinglePage", "/OpenAction [1 0 R /Fit]\n/PageLayout /SinglePage\n"},
        {-2, "", "/OpenAction [1 0 R /FitH null]\n/PageLayout /OneColumn\n"},
        {-3, "/TwoColumnLeft", "/OpenAction [1 0 R /XYZ null null 1]\n/PageLayout /TwoColumnLeft\n"},
        {-4, "/OneColumn", "/PageMode/FullScreen\n/PageLayout /OneColumn\n"},
        {150, "/Continuous", "/OpenAction [1 0 R /XYZ null null 1.50]\n/PageLayout /OneColumn\n"},
        {0, "", "/OpenAction [1 0 R /XYZ null null 0.00]\n/PageLayout /OneColumn\n"},
    };
    for (const Case& c : cases) {
        PdfWriter writer;
        writer.initialize();
        writer.create("", "", "");
        writer.setDisplayMode(c.zoom, c.layout);
        writer.close();
        std::string catalog = objectText(writer.bytes(), writer.document().objectCount);
        EXPECT_EQ(catalog, "6 0 obj\n<<\n/Type /Catalog\n/Pages 1 0 R\n" + std::string(c.expected) + ">>\nendobj\n")
            << "zoom " << c.zoom;
    }
}

TEST_F(FileStructure, EveryXrefEntryIsTwentyBytes)
{
    PdfWriter writer;
    writer.initialize();
    writer.create("", "", "");
    for (int i = 0; i < 30; ++i) writer.addPage("", "");
    writer.close();
    std::string pdf(writer.bytes());
    EXPECT_EQ(test::checkXref(pdf), "");
    std::size_t table = pdf.find("xref\n0 65\n");
    ASSERT_NE(table, std::string::npos);
    std::vector<std::string> lines = splitLines(pdf.substr(table));
    for (int i = 2; i < 2 + 65; ++i) EXPECT_EQ(lines[static_cast<std::size_t>(i)].size(), 19u);
}

TEST_F(FileStructure, CloseTwiceWritesTheTrailerOnce)
{
    PdfWriter writer;
    writer.initialize();
    writer.create("", "", "");
    writer.close();
    std::size_t length = writer.bytes().size();
    writer.close();
    EXPECT_EQ(writer.bytes().size(), length);
    EXPECT_EQ(writer.document().state, DocumentState::Closed);
}

// A document past the object count readers accept or past the offsets a
// cross-reference entry can hold is refused with its own code, and the earlier
// file of that name keeps its bytes. Lowered limits stand for the real ones: the
// page estimate refuses early, the exact count at close catches the rest.
TEST(FileLimits, DocumentsBeyondThePdfLimitsAreRefusedAndNotWritten)
{
    const struct {
        const char* name;
        PdfLimits limits;
        int pages;
        int textsPerPage;
        std::int32_t code;
    } cases[] = {
        // Objects 1 and 2, two per page, the font, info and catalog: 8 pages are
        // 21 objects.
        {"eight pages in 21 objects", {21, 9999999999}, 8, 1, kNoError},
        {"nine pages in 21 objects", {21, 9999999999}, 9, 1, kTooManyObjects},
        {"eight pages in 20 objects", {20, 9999999999}, 8, 0, kTooManyObjects},
        {"offsets within 10,000 bytes", {8388607, 10000}, 3, 10, kNoError},
        {"page contents past 600 bytes", {8388607, 600}, 3, 10, kTooManyBytes},
        {"the last objects past 700 bytes", {8388607, 700}, 1, 10, kTooManyBytes},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = test::writeTempFile("limits.pdf", "earlier");
        PdfWriter writer;
        writer.setLimits(c.limits);
        writer.initialize();
        writer.create("P", "mm", "");
        writer.setFont("Arial", "", 12);
        for (int page = 0; page < c.pages; ++page) {
            writer.addPage("", "");
            for (int i = 0; i < c.textsPerPage; ++i) writer.text(10, 20 + 5 * static_cast<float>(i), "Limits");
        }
        writer.save(path);
        EXPECT_EQ(writer.errorCode(), c.code);
        if (c.code == kNoError) {
            EXPECT_TRUE(test::qpdfAccepts(path));
        } else {
            EXPECT_EQ(test::readFile(path), "earlier");
            EXPECT_NE(writer.getErrorText(), "");
        }
    }
}

TEST(FileName, ValidationRejectsReservedCharactersInTheFilePartOnly)
{
    // The file part is what follows the last "/" or "\", so a Windows path is
    // judged by its name; on this system a "\" is an ordinary byte of the name.
    const struct {
        const char* name;
        std::int32_t code;
    } cases[] = {
        {"a?b.pdf", kBadFileName}, {"a:b.pdf", kBadFileName},    {"x|y", kBadFileName},
        {"q\"", kBadFileName},     {"*.pdf", kBadFileName},      {"<", kBadFileName},
        {">", kBadFileName},       {"back\\sl?sh", kBadFileName}, {"tab\t", kBadFileName},
        {"dir/", kBadFileName},    {"dir\\", kBadFileName},      {"a:b\\x.pdf", kNoError},
        {"dir\\x.pdf", kNoError},  {"plain name.pdf", kNoError},
    };
    PdfWriter writer;
    for (const auto& c : cases) {
        std::string path = test::tempFolder() + "/" + c.name;
        writer.initialize();
        writer.create("", "", "");
        writer.save(path);
        EXPECT_EQ(writer.errorCode(), c.code) << c.name;
        EXPECT_EQ(::access(path.c_str(), F_OK) == 0, c.code == kNoError) << c.name;
    }
}

// Only a regular file is read, and none larger than the limit; a pipe or a
// device is refused at once instead of being waited for or read for ever.
TEST(ReadRegularFile, ReadsRegularFilesWithinTheLimitOnly)
{
    const std::string folder = test::tempFolder();
    const std::string fifo = folder + "/read-fifo";
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string ten = test::writeTempFile("read-ten.bin", "0123456789");
    const std::string empty = test::writeTempFile("read-empty.bin", "");
    const struct {
        std::string path;
        std::size_t maxBytes;
        FileRead result;
        std::string bytes;
    } cases[] = {
        {ten, 10, FileRead::kRead, "0123456789"},
        {ten, 9, FileRead::kTooBig, ""},
        {empty, 10, FileRead::kRead, ""},
        {folder + "/no-such-file", 10, FileRead::kCannotOpen, ""},
        {folder, 10, FileRead::kCannotOpen, ""},
        {fifo, 10, FileRead::kCannotOpen, ""},
        {"/dev/zero", 10, FileRead::kCannotOpen, ""},
    };
    for (const auto& c : cases) {
        ByteBuffer buffer;
        buffer.append("left over");
        EXPECT_EQ(readRegularFile(c.path, c.maxBytes, buffer), c.result) << c.path;
        EXPECT_EQ(buffer.view(), c.bytes) << c.path;
    }
    ::unlink(fifo.c_str());
}

class Saving : public ReproducibleDate {
protected:
    std::string path(const std::string& name) { return test::tempFolder() + "/" + name; }
};

TEST_F(Saving, WritesTheWholeFileThatReadersAccept)
{
    PdfWriter writer;
    writer.initialize();
    writer.create("", "", "");
    writer.addPage("", "");
    writer.line(10, 10, 100, 100);
    writer.addPage("L", "");
    writer.close();
    std::string expected(writer.bytes());
    std::string file = path("whole.pdf");
    writer.save(file);
    EXPECT_EQ(writer.errorCode(), kNoError);
    EXPECT_EQ(test::readFile(file), expected);
    std::string report;
    EXPECT_TRUE(test::qpdfAccepts(file, &report)) << report;
    EXPECT_EQ(test::pdfinfoPages(file), 2);
}

// Page contents go into the file without being copied into one image; the file
// must still be byte for byte the document, over more pieces than one write
// takes, compressed or not.
TEST_F(Saving, ManyPagesSaveAsTheirOneImage)
{
    for (bool compress : {false, true}) {
        auto build = [compress](PdfWriter& writer) {
            writer.initialize();
            writer.create("", "", "");
            if (compress) {
                writer.setCompressProc([](ByteBuffer& buffer) {
                    buffer.setLength(buffer.length() / 2);  // any replacement will do
                    return true;
                });
            }
            for (int page = 0; page < 1500; ++page) {
                writer.addPage(page % 7 == 0 ? "L" : "", "");
                writer.line(10, 10, static_cast<float>(page % 100), 100);
                if (page % 3 == 0) writer.rect(1, 2, 3, 4, "F");
            }
        };
        PdfWriter inMemory;
        build(inMemory);
        inMemory.close();
        std::string expected(inMemory.bytes());
        EXPECT_EQ(inMemory.bytes(), expected);  // asking again gives the same image

        PdfWriter saved;
        build(saved);
        std::string file = path(compress ? "pieces-z.pdf" : "pieces.pdf");
        saved.save(file);
        ASSERT_EQ(saved.errorCode(), kNoError);
        EXPECT_EQ(test::readFile(file), expected);
        if (!compress) {
            std::string report;
            EXPECT_TRUE(test::qpdfAccepts(file, &report)) << report;
            EXPECT_EQ(test::pdfinfoPages(file), 1500);
        }
    }
}

TEST_F(Saving, SecondSaveWritesNothingAndKeepsTheErrorCode)
{
    PdfWriter writer;
    writer.initialize();
    writer.create("", "", "");
    std::string first = path("first.pdf");
    writer.save(first);
    ASSERT_EQ(writer.errorCode(), kNoError);
    std::string second = path("second.pdf");
    writer.save(second);
    EXPECT_EQ(writer.errorCode(), kNoError);
    EXPECT_NE(::access(second.c_str(), F_OK), 0);
}

TEST_F(Saving, FailedCreateLeavesTheEarlierFileUntouched)
{
    std::string folder = path("locked");
    ::mkdir(folder.c_str(), 0755);
    std::string target = folder + "/doc.pdf";
    std::ofstream(target) << "earlier";
    ::chmod(folder.c_str(), 0555);

    PdfWriter writer;
    writer.initialize();
    writer.create("", "", "");
    writer.save(target);
    ::chmod(folder.c_str(), 0755);
    if (::geteuid() != 0) {  // root may write into a read-only folder
        EXPECT_EQ(writer.errorCode(), kCreateFile);
        EXPECT_EQ(test::readFile(target), "earlier");
    }

    writer.initialize();
    writer.create("", "", "");
    writer.save(path("no-such-folder/doc.pdf"));
    EXPECT_EQ(writer.errorCode(), kCreateFile);

    std::string folderTarget = path("a-folder.pdf");
    ::mkdir(folderTarget.c_str(), 0755);
    writer.initialize();
    writer.create("", "", "");
    writer.save(folderTarget);
    EXPECT_EQ(writer.errorCode(), kCreateFile);
    struct stat info {};
    EXPECT_EQ(::stat(folderTarget.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
}

TEST_F(Saving, FullDiskSetsCreateErrorAndKeepsNoPartialFile)
{
    // A device is written as it is, never replaced by a file.
    PdfWriter writer;
    writer.initialize();
    writer.create("", "", "");
    writer.save("/dev/full");
    EXPECT_EQ(writer.errorCode(), kCreateFile);
    struct stat info {};
    ASSERT_EQ(::stat("/dev/full", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
}

TEST_F(Saving, EmptyNameWritesNothing)
{
    PdfWriter writer;
    writer.initialize();
    writer.create("", "", "");
    writer.save("");
    EXPECT_EQ(writer.errorCode(), kNoError);
    EXPECT_TRUE(writer.bytes().empty());
}

}  // namespace
}  // namespace tabulon::pdf
