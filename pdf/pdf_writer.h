// PdfWriter: a single-document PDF 1.3 generator that assembles the whole file in
// memory and writes it to disk in one piece.
//
// Design goals, in order: output that is correct to the byte (every number goes
// through one locale-free formatter, every object offset is recorded as it is
// written), and speed on long documents (each page collects its content in its own
// buffer, lines are appended straight into the buffers with no intermediate list).
// The writer never throws or exits for bad input or a failed allocation: it records
// the reason in errorCode and carries on, and save() never leaves a damaged file.
//
// One object holds one document at a time: initialize() drops everything of the
// previous document, create() starts the next. All lengths passed to the drawing
// operations are in the document's user unit, measured from the top-left corner of
// the page with y growing downwards.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "byte_buffer.h"
#include "font_record.h"
#include "font_source.h"
#include "image_record.h"

namespace tabulon::pdf {

class PdfWriter;

// A parameterless procedure called at a fixed point of the output.
using HookProc = std::function<void(PdfWriter&)>;
// A header or footer procedure; `arg` is the registered argument (0 = none).
using PageProc = std::function<void(PdfWriter&, std::int32_t arg)>;
using AcceptPageBreakProc = std::function<bool(PdfWriter&)>;
// Offered a stream's bytes before output. Returns true after replacing the buffer's
// contents with their zlib (FlateDecode) form; false leaves the buffer untouched.
using CompressProc = std::function<bool(ByteBuffer& buffer)>;

// Error codes of errorCode().
enum ErrorCode : std::int32_t {
    kNoError = 0,
    kPng16Bit = 1,
    kPngAlpha = 2,
    kPngCompression = 3,
    kPngFilter = 4,
    kPngInterlace = 5,
    kPngPalette = 6,
    kJpegUnsupported = 7,
    kImageOpen = 8,
    kImageRead = 9,
    kJfifMissing = 10,
    kNotJpeg = 11,
    kPngIncorrect = 12,
    kMetafile = 13,
    kUnknownImage = 14,
    kBadFileName = 15,
    kCreateFile = 16,
    kFileOpen = 17,
    kOutOfMemory = 18,
    kBookmark = 19,
};

// The text for an error code, as getErrorText() returns it.
std::string_view errorText(std::int32_t code);

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
struct PdfDocument {
    std::int32_t state = 0;  // 0 created, 1 header written, 2 page open, 3 closed
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
    std::int32_t underline = 0;
    std::int32_t fontSizePt = 12;
    float fontSize = 0;
    std::int32_t currentFont = -1;  // index into fonts, -1 = none

    std::string drawColor = "0 G";
    std::string fillColor = "0 g";
    std::string textColor = "0 g";
    std::int32_t colorFlag = 0;

    std::int32_t zoomMode = -2;
    std::string layoutMode = "/OneColumn";

    PageProc headerProc;
    std::int32_t headerArg = 0;
    PageProc footerProc;
    std::int32_t footerArg = 0;
    std::int32_t inFooter = 0;
    AcceptPageBreakProc acceptPageBreakProc;
    CompressProc compressProc;

    std::string totalPagesAlias;
    std::string decimalSeparator;
    std::string timeZoneSuffix;
    std::int32_t errorCode = 0;
    std::int32_t namesObject = 0;

    std::int32_t pageNumbering = 0;
    std::int32_t pageNumber = 1;
    float rotationAngle = 0;

    std::string title, subject, author, keywords, creator;

    std::vector<FontRecord> fonts;
    std::vector<FontFileRecord> fontFiles;
    std::vector<ImageRecord> images;

    std::vector<HookProc> pageEndHooks, catalogHooks, resourceHooks, closeHooks;
    // Lists that no operation of this writer fills (outlines and their levels);
    // the close hook clears them.
    std::vector<std::string> outlines;
    std::vector<std::int32_t> outlineLevels;
};

class PdfWriter {
public:
    PdfWriter();
    ~PdfWriter();
    PdfWriter(const PdfWriter&) = delete;
    PdfWriter& operator=(const PdfWriter&) = delete;

    // --- document model -------------------------------------------------------
    void initialize();
    void addPageEndHook(HookProc proc);
    void addCatalogHook(HookProc proc);
    void addResourceHook(HookProc proc);
    void addCloseHook(HookProc proc);
    void resetHooks();
    int create(std::string_view orientation, std::string_view unit, std::string_view format);
    void setMargins(float left, float top, float right);
    void setLeftMargin(float margin);
    void setTopMargin(float margin);
    void setRightMargin(float margin);
    void setAutoPageBreak(std::int32_t autoBreak, float margin);
    void setDisplayMode(std::int32_t zoom, std::string_view layout);
    void setHeaderProc(PageProc proc, std::int32_t arg);
    void setFooterProc(PageProc proc, std::int32_t arg);
    void setAcceptPageBreakProc(AcceptPageBreakProc proc);
    bool acceptPageBreak();
    float getFontSize() const { return doc_.fontSize; }

    // --- output ---------------------------------------------------------------
    void out(std::string_view text);
    void outBytes(const ByteBuffer& bytes);
    void outBytes(std::string_view bytes);
    void newObject();
    void putStream(std::string_view bytes);
    void setTitle(std::string_view text) { doc_.title = text; }
    void setSubject(std::string_view text) { doc_.subject = text; }
    void setAuthor(std::string_view text) { doc_.author = text; }
    void setKeywords(std::string_view text) { doc_.keywords = text; }
    void setCreator(std::string_view text) { doc_.creator = text; }
    void close();
    void save(const std::string& fileName);

    // --- pages and drawing ----------------------------------------------------
    int addPage(std::string_view orientation, std::string_view format);
    void setLineWidth(float width);
    void setDrawColor(float r, float g, float b);
    void setFillColor(float r, float g, float b);
    void setTextColor(float r, float g, float b);
    void setDrawColorCmyk(float c, float m, float y, float k);
    void setFillColorCmyk(float c, float m, float y, float k);
    void setTextColorCmyk(float c, float m, float y, float k);
    void line(float x1, float y1, float x2, float y2);
    void rect(float x, float y, float w, float h, std::string_view style);
    void moveTo(float x, float y);
    void lineTo(float x, float y);
    void curveTo(float x1, float y1, float x2, float y2, float x3, float y3);
    void paintPath(std::string_view style);
    void triangle(float x1, float y1, float x2, float y2, float x3, float y3, std::string_view style);
    void ellipse(float x, float y, float rx, float ry, std::string_view style);
    void circle(float x, float y, float r, std::string_view style);
    void setDash(std::int32_t on, std::int32_t off);
    void transform(float a, float b, float c, float d, float e, float f);
    void rotate(float angle, float x, float y);
    void aliasTotalPages(std::string_view alias) { doc_.totalPagesAlias = alias; }
    void setCompressProc(CompressProc proc) { doc_.compressProc = std::move(proc); }
    void startPageNumbering() { doc_.pageNumbering = 1; }
    void stopPageNumbering() { doc_.pageNumbering = 0; }
    std::int32_t getPageNumber() const { return doc_.pageNumber; }

    // --- fonts and text -------------------------------------------------------
    // Where families that are not standard fonts come from; null (the default)
    // means no system fonts, so such a family falls back to Helvetica.
    void setFontSource(FontSource* source) { fontSource_ = source; }
    void setFont(std::string_view family, std::string_view style, std::int32_t size);
    double getStringWidth(std::string_view text, bool scaled) const;
    void text(float x, float y, std::string_view txt);
    std::string underlineRect(float x, float y, std::string_view txt) const;

    // --- pictures -------------------------------------------------------------
    void image(const std::string& file, float x, float y, float w, float h, std::int32_t link);
    std::string_view getErrorText() const { return errorText(doc_.errorCode); }

    // --- state, read only -----------------------------------------------------
    const PdfDocument& document() const { return doc_; }
    std::int32_t errorCode() const { return doc_.errorCode; }
    // The file image after close(), in one piece; empty after save() released it.
    std::string_view bytes();
    // The content of page `index` (from 0) as written so far; before close().
    std::string_view pageContent(std::size_t index) const;

private:
    int beginPage(std::string_view orientation, std::string_view format);
    // Sets the default page format and orientation, as create() and a page with its own format do.
    void setDefaultFormat(std::string_view orientation, std::string_view format);
    void endPage();
    void putPages();
    void replaceAliasInPages();
    void putResources();
    void putResourceDictionary();
    void putInfo();
    void putCatalog();
    void putXref(std::size_t& xrefOffset);
    void putTrailer(std::size_t xrefOffset);
    void putFonts();
    void putImages();
    void putImage(ImageRecord& record);
    void putForm(ImageRecord& record);
    std::int32_t loadImage(ImageRecord& record);
    void registerBuiltinDocumentHooks();
    void clearLists();
    void callPageProc(const PageProc& proc, std::int32_t arg);
    void setColor(std::string& slot, const char* greyOp, const char* rgbOp, float r, float g, float b,
                  bool writeToPage);
    void setColorCmyk(std::string& slot, const char* op, float c, float m, float y, float k, bool writeToPage);
    void updateColorFlag();
    int addFont(const std::string& family, const std::string& style, const std::string& key);
    bool loadTrueType(FontRecord& record, const std::string& family, const std::string& style);
    void putFontFile(FontFileRecord& file);
    void putCoreFont(FontRecord& font);
    void putTrueTypeFont(FontRecord& font);
    bool append(std::string_view bytes);
    ByteBuffer& target();
    // The length of the file image so far, spliced bytes included.
    std::size_t fileLength() const { return doc_.buffer.length() + doc_.splicedLength; }
    // Puts `bytes` into the file image at its current end, without copying them:
    // they must stay until the image is written or joined.
    void splice(std::string_view bytes);
    void splice(ByteBuffer&& bytes);
    void releaseFileImage();

    // Coordinates in points, y flipped.
    float toX(float x) const { return x * doc_.k; }
    float toY(float y) const { return (doc_.h - y) * doc_.k; }

    PdfDocument doc_;
    FontSource* fontSource_ = nullptr;

    // The arguments of the last setFont call and the font state it left. A call
    // with the same arguments while that state still holds would change nothing
    // but the underline flag, so it skips the name work.
    struct FontCall {
        std::string family, style;
        std::int32_t size = 0;
        std::string resultFamily, resultStyle;
        std::int32_t resultSize = 0;
        std::int32_t resultUnderline = 0;
        bool valid = false;
    };
    FontCall lastFontCall_;
    void selectFont(std::string_view family, std::string_view style, std::int32_t size);
    // Writes the current font and size into the open page.
    void writeFontSelection();
    bool repeatsLastFontCall(std::string_view family, std::string_view style, std::int32_t size);
    void rememberFontCall(std::string_view family, std::string_view style, std::int32_t size);
};

}  // namespace tabulon::pdf
