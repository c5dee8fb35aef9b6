// Files whose headers claim far more than they hold: pictures of 30,000 x 30,000
// pixels in a few dozen bytes, placed by a job, and TrueType fonts whose table
// directory claims gigabytes. Each ends cleanly with the picture's error or the
// font's fallback, the rest of the PDF is written, and memory stays small.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <iostream>

#include "child_process.h"
#include "font_source.h"
#include "pdf_check.h"
#include "pdf_readers.h"
#include "pdf_writer.h"

namespace tabulon::test {
namespace {

constexpr long kSmallProgramKb = 64 * 1024;
constexpr std::uint32_t kClaim = 30000;

void be16(std::string& out, std::uint32_t v) { out += {static_cast<char>(v >> 8), static_cast<char>(v)}; }
void be32(std::string& out, std::uint32_t v)
{
    be16(out, v >> 16);
    be16(out, v & 0xFFFF);
}
void le16(std::string& out, std::uint32_t v) { out += {static_cast<char>(v), static_cast<char>(v >> 8)}; }
void le32(std::string& out, std::uint32_t v)
{
    le16(out, v & 0xFFFF);
    le16(out, v >> 16);
}

// SOI, JFIF, a quantization table, a baseline frame of 30,000 x 30,000 with three
// components, a scan header and 16 bytes of scan data.
std::string hugeJpeg()
{
    std::string jpeg = "\xFF\xD8\xFF\xE0";
    be16(jpeg, 16);
    jpeg += std::string("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14);
    jpeg += "\xFF\xDB";
    be16(jpeg, 67);
    jpeg += std::string(1, '\0') + std::string(64, '\x01');
    jpeg += "\xFF\xC0";
    be16(jpeg, 17);
    jpeg += '\x08';
    be16(jpeg, kClaim);
    be16(jpeg, kClaim);
    jpeg += std::string("\x03\x01\x11\0\x02\x11\0\x03\x11\0", 10);
    jpeg += "\xFF\xDA";
    be16(jpeg, 12);
    jpeg += std::string("\x03\x01\0\x02\0\x03\0\0\x3F\0", 10);
    jpeg += std::string(16, '\0') + "\xFF\xD9";
    return jpeg;
}

void pngChunk(std::string& png, const char* type, const std::string& data)
{
    be32(png, static_cast<std::uint32_t>(data.size()));
    std::string body = type + data;
    png += body;
    be32(png, static_cast<std::uint32_t>(::crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                                 static_cast<uInt>(body.size()))));
}

// An 8-bit RGB header of 30,000 x 30,000 over 1,000 deflated bytes.
std::string hugePng()
{
    std::string png = "\x89PNG\r\n\x1A\n";
    std::string header;
    be32(header, kClaim);
    be32(header, kClaim);
    header += std::string("\x08\x02\0\0\0", 5);
    pngChunk(png, "IHDR", header);
    std::string rows(1000, '\0');
    uLongf size = compressBound(static_cast<uLong>(rows.size()));
    std::string packed(size, '\0');
    ::compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(rows.data()),
               static_cast<uLong>(rows.size()));
    packed.resize(size);
    pngChunk(png, "IDAT", packed);
    pngChunk(png, "IEND", "");
    return png;
}

// A codestream of SOC and a SIZ segment for three components, then its end.
std::string hugeJpx()
{
    std::string jpx = "\xFF\x4F\xFF\x51";
    be16(jpx, 47);
    be16(jpx, 0);
    for (std::uint32_t v : {kClaim, kClaim, 0u, 0u, kClaim, kClaim, 0u, 0u}) be32(jpx, v);
    be16(jpx, 3);
    jpx += std::string("\x07\x01\x01\x07\x01\x01\x07\x01\x01", 9);
    return jpx + "\xFF\xD9";
}

// A placeable metafile of 30,000 x 30,000 units at one unit per inch with one
// rectangle: a drawing, not pixels, so it is placed as it is.
std::string hugeMetafile()
{
    std::string wmf;
    le32(wmf, 0x9AC6CDD7);
    le16(wmf, 0);
    for (std::uint32_t v : {0u, 0u, kClaim, kClaim}) le16(wmf, v);
    le16(wmf, 1);
    le32(wmf, 0);
    std::uint32_t checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2) {
        checksum ^= static_cast<std::uint8_t>(wmf[i]) | static_cast<std::uint32_t>(static_cast<std::uint8_t>(wmf[i + 1])) << 8;
    }
    le16(wmf, checksum);
    for (std::uint32_t v : {1u, 9u, 0x300u}) le16(wmf, v);
    le32(wmf, 9 + 7 + 3);
    le16(wmf, 0);
    le32(wmf, 7);
    le16(wmf, 0);
    le32(wmf, 7);  // Rectangle: bottom, right, top, left
    for (std::uint32_t v : {0x041Bu, kClaim, kClaim, 0u, 0u}) le16(wmf, v);
    le32(wmf, 3);  // end of file
    le16(wmf, 0);
    return wmf;
}

TEST(HugeClaims, PicturesClaimingThirtyThousandPixelsSquareEndCleanly)
{
    struct Case {
        const char* file;
        std::string bytes;
        std::string warning;  // "" when the picture is placed
    } cases[] = {
        {"huge.jpg", hugeJpeg(), "tabulon-export: warning: picture huge.jpg left out: Not a JPEG file.\n"},
        {"huge.png", hugePng(), "tabulon-export: warning: picture huge.png left out: Incorrect PNG file.\n"},
        {"huge.j2k", hugeJpx(),
         "tabulon-export: warning: picture huge.j2k left out: Problem reading image file in memory.\n"},
        {"huge.wmf", hugeMetafile(), ""},
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
