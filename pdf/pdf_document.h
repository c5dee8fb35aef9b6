// The document record: everything one PdfWriter holds about the document it is
// writing, readable by its callers through PdfWriter::document().
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "byte_buffer.h"
#include "font_record.h"
#include "image_record.h"
#include "writer_hooks.h"

namespace tabulon::pdf {

// Where a document is: create() writes the file header, addPage() opens a page,
// the end of a page returns to HeaderWritten, and close() ends the document.
enum class DocumentState : std::int32_t { Created = 0, HeaderWritten = 1, PageOpen = 2, Closed = 3 };

struct PageRecord {
    // Where the page's content begins in the document's page contents; it ends
    // where the next page's begins.
    std::size_t contentStart = 0;
    // The content as rewritten at close (the total-pages alias replaced), for a
    // page that held the alias; unallocated otherwise.
    ByteBuffer content;
    std::int32_t ownSize = 0;
    std::int32_t pageObject = 0;
    float wPt = 0.0f;
    float hPt = 0.0f;
};

// Bytes that belong in the file image before byte `at` of its buffer, held apart
// so that a page's content goes into the file without being copied: a view into
// the page contents, or into `owned`.
struct SplicedBytes {
    std::size_t at = 0;
    std::string_view bytes;
    ByteBuffer owned;
};

// The document state. Floats are 32-bit on purpose: the numbers written to the
// file are computed in single precision, so 841.89 pt / k gives the page height
// 297.00009 mm, and a baseline at 14 mm prints as 802.21.
// What the font source gave for a family and style flags: the index of the
// loaded file in fontFiles, or -1 when it had no usable font.
struct FontLookup {
    std::string family;
    std::int32_t styleFlags = 0;
    std::int32_t fontFile = -1;
};

struct PdfDocument {
    DocumentState state = DocumentState::Created;
    std::int32_t page = 0;
    std::int32_t objectCount = 0;
    std::vector<std::size_t> offsets;  // element i-1 = offset of object i
    ByteBuffer buffer;                 // the file image, but for the spliced bytes
    std::vector<SplicedBytes> spliced;  // in the order of their places
    std::size_t splicedLength = 0;
    std::vector<PageRecord> pages;
    // Every page's content, one after the other; the open page's is the end.
    ByteBuffer pageContents;

    float k = 1.0f;
    std::string defOrientation = "P";
    std::string curOrientation = "P";
    float fwPt = 0, fhPt = 0, fw = 0, fh = 0;
    float wPt = 0, hPt = 0, w = 0, h = 0;
    float lMargin = 0, tMargin = 0, rMargin = 0, bMargin = 0, cMargin = 0;
    float x = 0, y = 0;
    float lineWidth = 0;
    float wordSpacing = 0;
    std::int32_t autoPageBreak = 0;
    float pageBreakTrigger = 0;

    std::string fontFamily;
    std::string fontStyle;
    bool underline = false;
    std::int32_t fontSizePt = 12;
    float fontSize = 0;
    std::int32_t currentFont = -1;  // index into fonts, -1 = none

    std::string drawColor = "0 G";
    std::string fillColor = "0 g";
    std::string textColor = "0 g";
    // Set once fill and text colour differed: each text is then drawn in its own
    // colour between q and Q, since the fill colour in force is not the text's.
    bool colorFlag = false;

    std::int32_t zoomMode = -2;
    std::string layoutMode = "/OneColumn";

    PageProc headerProc;
    std::int32_t headerArg = 0;
    PageProc footerProc;
    std::int32_t footerArg = 0;
    bool inFooter = false;  // while the footer procedure runs
    AcceptPageBreakProc acceptPageBreakProc;
    CompressProc compressProc;
    Compression compression = Compression::AtClose;
    // Embed each TrueType file cut down to the glyphs the document draws.
    bool subsetFonts = false;

    std::string totalPagesAlias;
    std::int32_t errorCode = 0;
    std::int32_t namesObject = 0;

    bool pageNumbering = false;
    std::int32_t pageNumber = 1;
    float rotationAngle = 0;

    std::string title, subject, author, keywords, creator;

    std::vector<FontRecord> fonts;
    std::vector<FontFileRecord> fontFiles;
    std::vector<FontLookup> fontLookups;
    std::vector<ImageRecord> images;

    std::vector<HookProc> pageEndHooks, catalogHooks, resourceHooks, closeHooks;
    // Lists that no operation of this writer fills (outlines and their levels);
    // the close hook clears them.
    std::vector<std::string> outlines;
    std::vector<std::int32_t> outlineLevels;
};

}  // namespace tabulon::pdf
