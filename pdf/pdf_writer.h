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
// the page with y growing downwards. Writers share no mutable state, so threads may
// each write their own document; what the writer needs from the system (files,
// the clock) it asks through system_files.h and system_clock.h. A writer is called
// from one thread; given a compress proc for Compression::Concurrent, it compresses
// finished pages on threads of its own, which touch nothing but those pages.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "byte_buffer.h"
#include "content_line.h"
#include "error_codes.h"
#include "font_source.h"
#include "pdf_document.h"
#include "writer_hooks.h"

namespace tabulon::pdf {

class PageCompressor;
// The largest document a PDF file can hold: the number of indirect objects
// readers accept, and the largest byte offset the ten digits of a cross-reference
// entry can give. Tests lower them to reach them quickly.
struct PdfLimits {
    std::int64_t objects = 8388607;
    std::uint64_t offset = 9999999999;
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
    void setCompressProc(CompressProc proc, Compression compression = Compression::AtClose)
    {
        doc_.compressProc = std::move(proc);
        doc_.compression = compression;
    }
    // Embeds every TrueType font as a subset of the glyphs the document draws
    // (plus glyph 0 and the parts of composite glyphs), named "ABCDEF+Name";
    // off by default, when fonts are embedded whole. create() turns it off.
    void setFontSubsetting(bool subset) { doc_.subsetFonts = subset; }
    void startPageNumbering() { doc_.pageNumbering = true; }
    void stopPageNumbering() { doc_.pageNumbering = false; }
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
    // The picture image() placed for `file`, under that name or another name of
    // the same file ("./x", a link); null when none was (it could not be loaded).
    const ImageRecord* findImage(std::string_view file) const;
    std::string_view getErrorText() const { return errorText(doc_.errorCode); }
    // After a save() that failed with kCreateFile: why, when the error text does
    // not tell (see fileWriteReason()); empty otherwise.
    std::string_view saveFailureReason() const { return saveFailureReason_; }

    // --- state, read only -----------------------------------------------------
    const PdfDocument& document() const { return doc_; }
    std::int32_t errorCode() const { return doc_.errorCode; }
    // True once the document can no longer be saved (out of memory, or beyond
    // the limits of a PDF file): save() then writes nothing.
    bool refused() const;
    void setLimits(const PdfLimits& limits) { limits_ = limits; }
    // The file image after close(), in one piece; empty after save() released it.
    std::string_view bytes();
    // The content of page `index` (from 0) as written so far; before close().
    std::string_view pageContent(std::size_t index) const;

private:
    int beginPage(std::string_view orientation, std::string_view format);
    // Sets the default page format and orientation, as create() and a page with its own format do.
    void setDefaultFormat(std::string_view orientation, std::string_view format);
    void endPage();
    // Hands the page that just ended to the compressing workers (Compression::Concurrent).
    void handOverPage();
    // Puts the compressed (or, when the proc declined, the plain) content of a page
    // the workers hold into page.content; the stream's filter entry, or "".
    std::string_view takeCompressedPage(std::size_t index);
    void putPages();
    void replaceAliasInPages();
    void putResources();
    void putResourceDictionary();
    void putInfo();
    void putCatalog();
    // Writes the cross-reference table; returns where it starts in the file.
    std::size_t putXref();
    void putTrailer(std::size_t xrefOffset);
    void putFonts();
    void putImages();
    void putImage(ImageRecord& record);
    void putForm(ImageRecord& record);
    void registerBuiltinDocumentHooks();
    void clearLists();
    void callPageProc(const PageProc& proc, std::int32_t arg);
    void setColor(std::string& slot, const char* greyOp, const char* rgbOp, float r, float g, float b,
                  bool writeToPage);
    void setColorCmyk(std::string& slot, const char* op, float c, float m, float y, float k, bool writeToPage);
    void updateColorFlag();
    int addFont(const std::string& family, const std::string& style, const std::string& key);
    bool loadTrueType(FontRecord& record, const std::string& family, const std::string& style);
    // The index in fontFiles of the file the font source has for the family and
    // flags, loading it when no loaded file has its face and flags; -1 when none.
    std::int32_t findFontFile(const std::string& family, std::int32_t styleFlags);
    void noteUsedCodes(std::string_view txt);
    // Cuts the file down to the glyphs its records drew and names the subset.
    void subsetFontFile(std::int32_t index);
    void putFontFile(FontFileRecord& file);
    void putCoreFont(FontRecord& font);
    void putTrueTypeFont(FontRecord& font);
    // Appends the underline of `txt` at (x, y) to `line`, as underlineRect() gives it.
    void appendUnderlineRect(ContentLine& line, float x, float y, std::string_view txt) const;
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
    // The pages being compressed while the next are written; none until a page
    // ends under Compression::Concurrent.
    std::unique_ptr<PageCompressor> compressor_;
    PdfLimits limits_;
    // Refuses a further page that would take the document past the limits,
    // counting what is known before close: two objects per page, one per font and
    // picture, and the fixed ones.
    bool roomForPage();
    // The exact check once every object has its offset.
    void checkLimits();
    // Where each loaded picture lies in doc_.images, by every name it was placed
    // under (a job may name hundreds of thousands of pictures) and by the file's
    // identity, so that another name of a file already read finds it.
    std::unordered_map<std::string, std::size_t> imageIndex_;
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::size_t> imageByFile_;
    std::string_view saveFailureReason_;
    // The line being built for out(): every operator and dictionary line that
    // holds numbers is put together here.
    ContentLine line_;

    // Jobs set the same colour again and again: the text of the last colour set
    // is kept with what it was made from.
    struct LastColour {
        const char* greyOp = nullptr;
        const char* rgbOp = nullptr;
        float rgb[3] = {0, 0, 0};
        ContentLine text;
    };
    LastColour lastColour_;

    // The arguments of the last setFont call and the font state it left. A call
    // with the same arguments while that state still holds would change nothing
    // but the underline flag, so it skips the name work.
    struct FontCall {
        std::string family, style;
        std::int32_t size = 0;
        std::string resultFamily, resultStyle;
        std::int32_t resultSize = 0;
        bool resultUnderline = false;
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
