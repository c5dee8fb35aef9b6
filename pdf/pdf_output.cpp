// Object serialisation and file output: the line writer, objects and streams, the
// resource and info dictionaries, the catalog, the cross-reference table, the
// trailer, close and save.
#include <cstring>
#include <string>
#include <vector>

#include "file_output.h"
#include "pdf_date.h"
#include "pdf_format.h"
#include "pdf_text.h"
#include "pdf_text_util.h"
#include "pdf_writer.h"
#include "system_files.h"

namespace tabulon::pdf {

namespace {

constexpr std::string_view kProducer = "Vellumark v2.25 For Orvane X86";

}  // namespace

ByteBuffer& PdfWriter::target()
{
    if (doc_.state == DocumentState::PageOpen && !doc_.pages.empty()) return doc_.pageContents;
    return doc_.buffer;
}

void PdfWriter::out(std::string_view text)
{
    ByteBuffer& buffer = target();
    if (!buffer.append(text) || !buffer.appendByte('\n')) doc_.errorCode = kOutOfMemory;
}

void PdfWriter::outBytes(std::string_view bytes)
{
    out(bytes);
}

void PdfWriter::outBytes(const ByteBuffer& bytes) { out(bytes.view()); }

void PdfWriter::newObject()
{
    ++doc_.objectCount;
    doc_.offsets.push_back(fileLength());
    char text[40];
    int length = formatInteger(text, doc_.objectCount);
    std::memcpy(text + length, " 0 obj", 6);
    out(std::string_view(text, static_cast<std::size_t>(length) + 6));
}

void PdfWriter::putStream(std::string_view bytes)
{
    out("stream");
    outBytes(bytes);
    out("endstream");
}

void PdfWriter::close()
{
    if (doc_.state == DocumentState::Closed) return;
    if (doc_.page == 0) addPage("", "");
    doc_.inFooter = true;
    callPageProc(doc_.footerProc, doc_.footerArg);
    doc_.inFooter = false;
    endPage();

    putPages();
    putResources();
    putInfo();
    putCatalog();
    checkLimits();
    putTrailer(putXref());

    doc_.state = DocumentState::Closed;
    for (std::size_t i = 0; i < doc_.closeHooks.size(); ++i) doc_.closeHooks[i](*this);
    doc_.namesObject = 0;
    clearLists();
}

bool PdfWriter::refused() const
{
    const std::int32_t code = doc_.errorCode;
    return code == kOutOfMemory || code == kTooManyObjects || code == kTooManyBytes;
}

bool PdfWriter::roomForPage()
{
    if (refused()) return false;
    constexpr std::int64_t kFixedObjects = 4;  // page tree, resources, info, catalog
    const std::int64_t objects = kFixedObjects + 2 * (static_cast<std::int64_t>(doc_.pages.size()) + 1) +
                                 static_cast<std::int64_t>(doc_.fonts.size() + doc_.images.size());
    if (objects > limits_.objects) {
        doc_.errorCode = kTooManyObjects;
        return false;
    }
    if (doc_.buffer.length() + doc_.pageContents.length() > limits_.offset) {
        doc_.errorCode = kTooManyBytes;
        return false;
    }
    return true;
}

void PdfWriter::checkLimits()
{
    if (refused()) return;
    if (doc_.objectCount > limits_.objects) {
        doc_.errorCode = kTooManyObjects;
        return;
    }
    for (std::size_t offset : doc_.offsets) {
        if (offset > limits_.offset) {
            doc_.errorCode = kTooManyBytes;
            return;
        }
    }
}

void PdfWriter::putResources()
{
    putFonts();
    putImages();
    putResourceDictionary();
    for (std::size_t i = 0; i < doc_.resourceHooks.size(); ++i) doc_.resourceHooks[i](*this);
}

void PdfWriter::putResourceDictionary()
{
    doc_.offsets[1] = fileLength();
    out("2 0 obj");
    out("<<");
    out("/ProcSet [/PDF /Text /ImageB /ImageC /ImageI]");
    out("/Font <<");
    for (const FontRecord& font : doc_.fonts) {
        out("/F" + std::to_string(font.number) + " " + std::to_string(font.objectNumber) + " 0 R");
    }
    out(">>");
    if (!doc_.images.empty()) {
        out("/XObject <<");
        for (const ImageRecord& image : doc_.images) {
            std::string prefix = image.filter == "WMF" ? "/FO" : "/I";
            out(prefix + std::to_string(image.number) + " " + std::to_string(image.objectNumber) + " 0 R");
        }
        out(">>");
    }
    out(">>");
    out("endobj");
}

void PdfWriter::putInfo()
{
    newObject();
    out("<<");
    auto entry = [this](std::string_view key, std::string_view value) {
        ByteBuffer encoded;
        if (encodeText(std::string(key) + " (", ")", value, encoded, true)) outBytes(encoded);
    };
    entry("/Producer", kProducer);
    if (!trimBlanks(doc_.title).empty()) entry("/Title", doc_.title);
    if (!trimBlanks(doc_.subject).empty()) entry("/Subject", doc_.subject);
    if (!trimBlanks(doc_.author).empty()) entry("/Author", doc_.author);
    if (!trimBlanks(doc_.keywords).empty()) entry("/Keywords", doc_.keywords);
    if (!trimBlanks(doc_.creator).empty()) entry("/Creator", doc_.creator);
    entry("/CreationDate", creationDate());
    out(">>");
    out("endobj");
}

void PdfWriter::putCatalog()
{
    newObject();
    out("<<");
    out("/Type /Catalog");
    out("/Pages 1 0 R");
    if (doc_.namesObject != 0) out("/Names " + std::to_string(doc_.namesObject) + " 0 R");
    switch (doc_.zoomMode) {
    case -1: out("/OpenAction [1 0 R /Fit]"); break;
    case -2: out("/OpenAction [1 0 R /FitH null]"); break;
    case -3: out("/OpenAction [1 0 R /XYZ null null 1]"); break;
    case -4: out("/PageMode/FullScreen"); break;
    default:
        out("/OpenAction [1 0 R /XYZ null null " +
            formatNumber(static_cast<float>(doc_.zoomMode) / 100.0f, 2) + "]");
    }
    out("/PageLayout " + doc_.layoutMode);
    for (std::size_t i = 0; i < doc_.catalogHooks.size(); ++i) doc_.catalogHooks[i](*this);
    out(">>");
    out("endobj");
}

std::size_t PdfWriter::putXref()
{
    const std::size_t xrefOffset = fileLength();
    out("xref");
    out("0 " + std::to_string(doc_.objectCount + 1));
    out("0000000000 65535 f ");
    char entry[20] = {'0', '0', '0', '0', '0', '0', '0', '0', '0', '0', ' ', '0', '0', '0',
                      '0', '0', ' ', 'n', ' ', '\n'};
    for (std::int32_t i = 0; i < doc_.objectCount; ++i) {
        std::size_t offset = i < static_cast<std::int32_t>(doc_.offsets.size()) ? doc_.offsets[i] : 0;
        for (int digit = 9; digit >= 0; --digit) {
            entry[digit] = static_cast<char>('0' + offset % 10);
            offset /= 10;
        }
        if (!doc_.buffer.append(entry, sizeof entry)) doc_.errorCode = kOutOfMemory;
    }
    return xrefOffset;
}

void PdfWriter::putTrailer(std::size_t xrefOffset)
{
    out("trailer");
    out("<<");
    out("/Size " + std::to_string(doc_.objectCount + 1));
    out("/Root " + std::to_string(doc_.objectCount) + " 0 R");
    out("/Info " + std::to_string(doc_.objectCount - 1) + " 0 R");
    out(">>");
    out("startxref");
    out(std::to_string(xrefOffset));
    out("%%EOF");
}

void PdfWriter::splice(std::string_view bytes)
{
    doc_.splicedLength += bytes.size();
    doc_.spliced.push_back({doc_.buffer.length(), bytes, ByteBuffer()});
}

void PdfWriter::splice(ByteBuffer&& bytes)
{
    std::string_view view = bytes.view();
    doc_.splicedLength += view.size();
    doc_.spliced.push_back({doc_.buffer.length(), view, std::move(bytes)});
}

std::string_view PdfWriter::pageContent(std::size_t index) const
{
    if (index >= doc_.pages.size()) return {};
    const PageRecord& page = doc_.pages[index];
    if (page.content.allocated()) return page.content.view();
    std::size_t end = index + 1 < doc_.pages.size() ? doc_.pages[index + 1].contentStart : doc_.pageContents.length();
    return doc_.pageContents.view().substr(page.contentStart, end - page.contentStart);
}

std::string_view PdfWriter::bytes()
{
    if (doc_.spliced.empty()) return doc_.buffer.view();
    ByteBuffer joined;
    if (!joined.ensureCapacity(fileLength())) {
        doc_.errorCode = kOutOfMemory;
        return {};
    }
    std::size_t from = 0;
    for (SplicedBytes& piece : doc_.spliced) {
        joined.append(doc_.buffer.data() + from, piece.at - from);
        joined.append(piece.bytes);
        from = piece.at;
    }
    joined.append(doc_.buffer.data() + from, doc_.buffer.length() - from);
    doc_.buffer.swap(joined);
    doc_.spliced.clear();
    doc_.splicedLength = 0;
    doc_.pageContents.release();
    return doc_.buffer.view();
}

void PdfWriter::releaseFileImage()
{
    doc_.buffer.release();
    doc_.spliced.clear();
    doc_.splicedLength = 0;
    doc_.pageContents.release();
}

void PdfWriter::save(const std::string& fileName)
{
    close();
    saveFailureReason_ = {};
    // A released buffer means the document was saved already: write nothing.
    if (!doc_.buffer.allocated()) return;
    if (!fileName.empty() && !refused()) {
        std::vector<std::string_view> pieces;
        pieces.reserve(2 * doc_.spliced.size() + 1);
        std::size_t from = 0;
        for (const SplicedBytes& piece : doc_.spliced) {
            pieces.push_back(doc_.buffer.view().substr(from, piece.at - from));
            pieces.push_back(piece.bytes);
            from = piece.at;
        }
        pieces.push_back(doc_.buffer.view().substr(from));
        if (!isValidFileName(fileName)) {
            doc_.errorCode = kBadFileName;
        } else if (const FileWrite written = writeFileWhole(fileName, pieces); written != FileWrite::kWritten) {
            doc_.errorCode = kCreateFile;
            saveFailureReason_ = fileWriteReason(written);
        }
    }
    releaseFileImage();
}

}  // namespace tabulon::pdf
