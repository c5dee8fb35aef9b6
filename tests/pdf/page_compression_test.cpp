// Page contents compressed beside the writing of the next pages: the file must be
// the one compressing at close gives, byte for byte, with every stream inflating
// to the page as written, while the uncompressed pages are not kept.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>

#include "deflate_compress.h"
#include "page_compressor.h"
#include "pdf_check.h"
#include "pdf_writer.h"

namespace tabulon::pdf {
namespace {

enum class Proc { None, Deflate, DeclinesMarked, OutOfMemoryOnMarked };

// Pages holding this text are declined, or run the proc out of memory.
constexpr std::string_view kMarker = "[marked]";

CompressProc procOf(Proc proc)
{
    switch (proc) {
    case Proc::None: return nullptr;
    case Proc::Deflate: return deflateCompressProc();
    case Proc::DeclinesMarked:
        return [](ByteBuffer& buffer) { return buffer.view().find(kMarker) == std::string_view::npos && deflateBuffer(buffer); };
    case Proc::OutOfMemoryOnMarked:
        return [](ByteBuffer& buffer) {
            if (buffer.view().find(kMarker) != std::string_view::npos) throw std::bad_alloc();
            return deflateBuffer(buffer);
        };
    }
    return nullptr;
}

struct Case {
    const char* name;
    int pages;
    int rows;
    int aliasEvery;  // the total-pages alias on every n-th page; 0 = none
    int markEvery;   // kMarker on every n-th page; 0 = none
    Proc proc;
    std::int32_t errorCode;
};

struct Written {
    std::string pdf;
    std::int32_t errorCode = 0;
    std::size_t pageContentsCapacity = 0;  // the most the page contents held, at the last page
};

Written write(const Case& c, Proc proc, Compression compression)
{
    PdfWriter writer;
    writer.initialize();
    writer.create("P", "mm", "");
    writer.aliasTotalPages("{nb}");
    writer.setCompressProc(procOf(proc), compression);
    writer.setFont("Helvetica", "", 9);
    for (int page = 0; page < c.pages; ++page) {
        writer.addPage("", "");
        for (int row = 0; row < c.rows; ++row) {
            float y = 10.0f + static_cast<float>(row % 60) * 4.5f;
            writer.setTextColor(static_cast<float>((page * 31 + row) % 256), 0, 0);
            writer.text(10, y, "Row " + std::to_string(page * c.rows + row) + " amount " + std::to_string(row * 17 % 997));
            writer.line(10, y + 1, 200, y + 1);
        }
        if (c.aliasEvery != 0 && page % c.aliasEvery == 0) writer.text(10, 290, "Page of {nb}");
        if (c.markEvery != 0 && page % c.markEvery == 1) writer.text(10, 280, std::string(kMarker));
    }
    Written written;
    written.pageContentsCapacity = writer.document().pageContents.capacity();
    writer.close();
    written.pdf = writer.bytes();
    written.errorCode = writer.errorCode();
    return written;
}

std::string streamOf(const std::string& object)
{
    std::size_t start = object.find(">>\nstream\n");
    std::size_t end = object.rfind("\nendstream");
    if (start == std::string::npos || end == std::string::npos) return "";
    return object.substr(start + 10, end - start - 10);
}

std::string inflated(const std::string& stream)
{
    std::string out(stream.size() * 20 + 1024, '\0');
    uLongf size = static_cast<uLongf>(out.size());
    if (uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(stream.data()),
                   static_cast<uLong>(stream.size())) != Z_OK) {
        return "(does not inflate)";
    }
    out.resize(size);
    return out;
}

TEST(PageCompression, ConcurrentGivesTheBytesOfCompressingAtClose)
{
    // A fixed creation date: the files are compared across a second's tick.
    ::setenv("SOURCE_DATE_EPOCH", "0", 1);
    const Case cases[] = {
        {"rows", 60, 50, 0, 0, Proc::Deflate, kNoError},
        {"alias on every third page", 60, 50, 3, 0, Proc::Deflate, kNoError},
        // About 5 MB of pages: more than may wait for the workers, so the
        // writer's own thread compresses pages too.
        {"more than may wait", 400, 220, 0, 0, Proc::Deflate, kNoError},
        {"proc declines some pages", 40, 50, 4, 5, Proc::DeclinesMarked, kNoError},
        {"proc out of memory on some pages", 40, 50, 0, 5, Proc::OutOfMemoryOnMarked, kOutOfMemory},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Written atClose = write(c, c.proc, Compression::AtClose);
        Written concurrent = write(c, c.proc, Compression::Concurrent);
        Written plain = write(c, Proc::None, Compression::AtClose);
        EXPECT_EQ(atClose.errorCode, c.errorCode);
        EXPECT_EQ(concurrent.errorCode, c.errorCode);
        ASSERT_EQ(concurrent.pdf.size(), atClose.pdf.size());
        EXPECT_TRUE(concurrent.pdf == atClose.pdf);
        // Pages without the alias are handed over as they end: the page contents
        // hold the open page only, not the document's.
        if (c.aliasEvery == 0) {
            EXPECT_LE(concurrent.pageContentsCapacity, 64u * 1024u);
        }

        // Page objects are 3, 5, ..., each followed by its contents.
        int compressed = 0;
        for (int page = 0; page < c.pages; ++page) {
            std::string object = test::objectText(concurrent.pdf, 4 + 2 * page);
            std::string original = streamOf(test::objectText(plain.pdf, 4 + 2 * page));
            ASSERT_FALSE(original.empty());
            bool marked = original.find(kMarker) != std::string::npos;
            bool filtered = object.find("/Filter /FlateDecode") != std::string::npos;
            EXPECT_EQ(filtered, !(marked && c.proc != Proc::Deflate)) << "page " << page + 1;
            EXPECT_EQ(filtered ? inflated(streamOf(object)) : streamOf(object), original) << "page " << page + 1;
            compressed += filtered ? 1 : 0;
        }
        EXPECT_GT(compressed, 0);
        if (c.errorCode == kNoError) {
            std::string path = test::writeTempFile("page_compression.pdf", concurrent.pdf);
            std::string report;
            EXPECT_TRUE(test::qpdfAccepts(path, &report)) << report;
            EXPECT_EQ(test::pdfinfoPages(path), c.pages);
        }
    }
}

// The compressor alone, with pools of several sizes and a waiting limit of nothing
// (every page handed over while another waits is compressed by the caller): every
// result comes back to its page, a proc's refusal leaves the bytes as they were,
// running out of memory is an error code, and any other exception is thrown on
// the caller's thread when its page is taken.
TEST(PageCompression, EveryResultReachesItsPage)
{
    CompressProc proc = [](ByteBuffer& buffer) {
        std::string text(buffer.view());
        if (text == "page 7") throw std::runtime_error("proc failed");
        if (text == "page 9") throw std::bad_alloc();
        if (text.back() % 3 == 0) return false;
        buffer.clear();
        buffer.append("packed " + text);
        return true;
    };
    for (std::size_t waitingLimit : {std::size_t{0}, PageCompressor::kDefaultWaitingLimit}) {
        for (unsigned workers : {1u, 3u}) {
            SCOPED_TRACE("limit " + std::to_string(waitingLimit) + ", workers " + std::to_string(workers));
            PageCompressor compressor(waitingLimit, workers);
            for (std::size_t page = 0; page < 300; ++page) {
                ByteBuffer bytes;
                ASSERT_TRUE(bytes.append("page " + std::to_string(page)));
                ASSERT_TRUE(compressor.submit(page, bytes, proc));
                EXPECT_FALSE(bytes.allocated());
            }
            for (std::size_t page = 0; page < 300; ++page) {
                std::string text = "page " + std::to_string(page);
                ASSERT_TRUE(compressor.holds(page));
                if (page == 7) {
                    EXPECT_THROW(compressor.take(page), std::runtime_error);
                    continue;
                }
                PageCompressor::Result result = compressor.take(page);
                EXPECT_FALSE(compressor.holds(page));
                bool refused = page == 9 || text.back() % 3 == 0;
                EXPECT_EQ(result.compressed, !refused) << text;
                EXPECT_EQ(result.bytes.view(), refused ? text : "packed " + text);
                EXPECT_EQ(result.errorCode, page == 9 ? kOutOfMemory : kNoError) << text;
            }
        }
    }
}

}  // namespace
}  // namespace tabulon::pdf
