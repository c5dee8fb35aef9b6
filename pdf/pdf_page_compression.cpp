// Page contents compressed while the next pages are written: the hand-over of a
// page as it ends, and the taking back of its stream at close.
#include <new>

#include "page_compressor.h"
#include "pdf_writer.h"

namespace tabulon::pdf {

void PdfWriter::handOverPage()
{
    if (!doc_.compressProc || doc_.compression != Compression::Concurrent || doc_.pages.empty()) return;
    const std::size_t index = doc_.pages.size() - 1;
    PageRecord& page = doc_.pages[index];
    std::string_view content = pageContent(index);
    // The total-pages alias is replaced at close, so such a page is compressed then.
    if (content.empty() || page.content.allocated()) return;
    if (!doc_.totalPagesAlias.empty() && content.find(doc_.totalPagesAlias) != std::string_view::npos) return;

    // Whatever fails here leaves the page where it is, for the close to compress.
    ByteBuffer bytes;
    if (!bytes.ensureCapacity(content.size()) || !bytes.append(content)) return;
    if (!compressor_) {
        try {
            compressor_ = std::make_unique<PageCompressor>();
        } catch (const std::bad_alloc&) {
            return;
        }
    }
    if (!compressor_->submit(index, bytes, doc_.compressProc)) return;
    // The workers have the page's bytes now: the next page's content goes where
    // this one's began, so the uncompressed pages are not kept.
    doc_.pageContents.setLength(page.contentStart);
}

std::string_view PdfWriter::takeCompressedPage(std::size_t index)
{
    PageCompressor::Result result = compressor_->take(index);
    doc_.pages[index].content = std::move(result.bytes);
    if (result.errorCode != kNoError) doc_.errorCode = result.errorCode;
    return result.compressed ? "/Filter /FlateDecode " : "";
}

}  // namespace tabulon::pdf
