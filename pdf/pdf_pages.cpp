// Pages and content operators: addPage with its footer/header protocol and the
// restore of the graphics state, lines, rectangles, paths, colours, dashes,
// transformations, and at close the page objects, their content streams and the
// page tree with the total-pages alias replaced.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "page_compressor.h"
#include "pdf_format.h"
#include "pdf_text_util.h"
#include "pdf_writer.h"

namespace tabulon::pdf {

namespace {

// The non-overlapping occurrences of `alias` in `bytes` as a scan from the end
// finds them, in descending order. Every occurrence is found from the start first
// (std::string_view::find looks for the first byte with the library's fast
// search), then they are taken from the last one down, each one ending at or
// before the start of the one taken after it.
std::vector<std::size_t> findFromEnd(std::string_view bytes, std::string_view alias)
{
    std::vector<std::size_t> positions;
    if (alias.empty()) return positions;
    std::vector<std::size_t> all;
    for (std::size_t at = bytes.find(alias); at != std::string_view::npos; at = bytes.find(alias, at + 1)) {
        all.push_back(at);
    }
    std::size_t limit = bytes.size();  // an occurrence taken next must end by here
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        if (*it + alias.size() > limit) continue;
        positions.push_back(*it);
        limit = *it;
    }
    return positions;
}

}  // namespace

int PdfWriter::addPage(std::string_view orientation, std::string_view format)
{
    if (doc_.state == DocumentState::Created) create("", "", "");

    std::string family = doc_.fontFamily;
    std::string style = doc_.fontStyle + (doc_.underline ? "U" : "");
    std::int32_t size = doc_.fontSizePt;
    float lw = doc_.lineWidth;
    std::string dc = doc_.drawColor;
    std::string fc = doc_.fillColor;
    std::string tc = doc_.textColor;
    bool cf = doc_.colorFlag;

    if (doc_.page > 0) {
        doc_.inFooter = true;
        callPageProc(doc_.footerProc, doc_.footerArg);
        doc_.inFooter = false;
        endPage();
    }

    if (!beginPage(orientation, format)) return 0;

    out("2 J");
    doc_.lineWidth = lw;
    out(line_.begin().number(lw * doc_.k, 2).put(" w").view());
    if (!family.empty()) {
        setFont(family, style, size);
    } else if (doc_.currentFont >= 0) {
        // A font chosen under an empty family name (a job's texts before its first
        // font letter) has no family to be selected again by, and selecting it
        // with the same style and size would change nothing: it is written into
        // the new page as it is, so that the page's texts have a font.
        writeFontSelection();
    }
    doc_.drawColor = dc;
    if (dc != "0 G") out(dc);
    doc_.fillColor = fc;
    if (fc != "0 g") out(fc);
    doc_.textColor = tc;
    doc_.colorFlag = cf;

    callPageProc(doc_.headerProc, doc_.headerArg);

    if (doc_.lineWidth != lw) {
        doc_.lineWidth = lw;
        out(line_.begin().number(lw * doc_.k, 2).put(" w").view());
    }
    if (!family.empty()) setFont(family, style, size);
    if (doc_.drawColor != dc) {
        doc_.drawColor = dc;
        out(dc);
    }
    if (doc_.fillColor != fc) {
        doc_.fillColor = fc;
        out(fc);
    }
    doc_.textColor = tc;
    doc_.colorFlag = cf;

    if (doc_.pageNumbering) ++doc_.pageNumber;
    return 1;
}

int PdfWriter::beginPage(std::string_view orientation, std::string_view format)
{
    if (!roomForPage()) return 0;
    // Page contents follow one another in one buffer, which grows by doubling:
    // no page keeps room it does not use, and a long document reallocates it a
    // few dozen times rather than once per page.
    ByteBuffer& contents = doc_.pageContents;
    contents.setGeometricGrowth(true);
    if (!contents.allocated() && !contents.ensureCapacity(kBufferStep)) {
        doc_.errorCode = kOutOfMemory;
        return 0;
    }
    doc_.pages.emplace_back();
    doc_.page = static_cast<std::int32_t>(doc_.pages.size());
    PageRecord& record = doc_.pages.back();
    record.contentStart = contents.length();
    record.ownSize = 0;
    doc_.state = DocumentState::PageOpen;
    doc_.x = doc_.lMargin;
    doc_.y = doc_.tMargin;
    doc_.fontFamily.clear();

    if (!trimBlanks(format).empty()) {
        setDefaultFormat(orientation, format);
        record.ownSize = 1;
    }

    std::string letter;
    if (trimBlanks(orientation).empty()) {
        letter = doc_.defOrientation;
    } else {
        letter = toUpper(trimBlanks(orientation)).substr(0, 1);
        if (letter != doc_.defOrientation) record.ownSize = 1;
    }
    if (letter != doc_.curOrientation) {
        if (letter == "P") {
            doc_.wPt = doc_.fwPt;
            doc_.hPt = doc_.fhPt;
            doc_.w = doc_.fw;
            doc_.h = doc_.fh;
        } else {
            doc_.wPt = doc_.fhPt;
            doc_.hPt = doc_.fwPt;
            doc_.w = doc_.fh;
            doc_.h = doc_.fw;
        }
        doc_.pageBreakTrigger = doc_.h - doc_.bMargin;
        doc_.curOrientation = letter;
    }
    record.wPt = doc_.wPt;
    record.hPt = doc_.hPt;
    return 1;
}

void PdfWriter::endPage()
{
    for (std::size_t i = 0; i < doc_.pageEndHooks.size(); ++i) doc_.pageEndHooks[i](*this);
    doc_.state = DocumentState::HeaderWritten;
    handOverPage();
}

void PdfWriter::setLineWidth(float width)
{
    doc_.lineWidth = width;
    if (doc_.page > 0) out(line_.begin().number(width * doc_.k, 2).put(" w").view());
}

void PdfWriter::updateColorFlag()
{
    if (doc_.fillColor != doc_.textColor) doc_.colorFlag = true;
}

void PdfWriter::setColor(std::string& slot, const char* greyOp, const char* rgbOp, float r, float g, float b,
                         bool writeToPage)
{
    LastColour& last = lastColour_;
    const float rgb[3] = {r, g, b};
    if (last.greyOp != greyOp || last.rgbOp != rgbOp || std::memcmp(last.rgb, rgb, sizeof rgb) != 0) {
        ContentLine& colour = last.text.begin();
        if ((r == 0.0f && g == 0.0f && b == 0.0f) || g == -1.0f) {
            colour.number(r / 255.0f, 3).put(" ").put(greyOp);
        } else {
            colour.number(r / 255.0f, 3).put(" ").number(g / 255.0f, 3).put(" ").number(b / 255.0f, 3);
            colour.put(" ").put(rgbOp);
        }
        last.greyOp = greyOp;
        last.rgbOp = rgbOp;
        std::memcpy(last.rgb, rgb, sizeof rgb);
    }
    slot = last.text.view();
    if (writeToPage && doc_.page > 0) out(slot);
}

void PdfWriter::setDrawColor(float r, float g, float b) { setColor(doc_.drawColor, "G", "RG", r, g, b, true); }

void PdfWriter::setFillColor(float r, float g, float b)
{
    setColor(doc_.fillColor, "g", "rg", r, g, b, true);
    updateColorFlag();
}

void PdfWriter::setTextColor(float r, float g, float b)
{
    setColor(doc_.textColor, "g", "rg", r, g, b, false);
    updateColorFlag();
}

void PdfWriter::setColorCmyk(std::string& slot, const char* op, float c, float m, float y, float k,
                             bool writeToPage)
{
    slot = line_.begin().number(c, 2).put(" ").number(m, 2).put(" ").number(y, 2).put(" ").number(k, 2)
               .put("  ").put(op).view();
    if (writeToPage && doc_.page > 0) out(slot);
}

void PdfWriter::setDrawColorCmyk(float c, float m, float y, float k)
{
    setColorCmyk(doc_.drawColor, "K", c, m, y, k, true);
}

void PdfWriter::setFillColorCmyk(float c, float m, float y, float k)
{
    setColorCmyk(doc_.fillColor, "k", c, m, y, k, true);
    updateColorFlag();
}

void PdfWriter::setTextColorCmyk(float c, float m, float y, float k)
{
    setColorCmyk(doc_.textColor, "k", c, m, y, k, false);
    updateColorFlag();
}

void PdfWriter::line(float x1, float y1, float x2, float y2)
{
    out(line_.begin().number(toX(x1), 2).put(" ").number(toY(y1), 2).put(" m ")
            .number(toX(x2), 2).put(" ").number(toY(y2), 2).put(" l S").view());
}

void PdfWriter::rect(float x, float y, float w, float h, std::string_view style)
{
    out(line_.begin().number(toX(x), 2).put(" ").number(toY(y), 2).put(" ").number(w * doc_.k, 2)
            .put(" ").number(-h * doc_.k, 2).put(" re").view());
    if (style == "F") {
        out("f");
    } else if (style == "DF") {
        out("B");
    } else {
        out("S");
    }
}

void PdfWriter::moveTo(float x, float y)
{
    out(line_.begin().number(toX(x), 2).put(" ").number(toY(y), 2).put(" m").view());
}

void PdfWriter::lineTo(float x, float y)
{
    out(line_.begin().number(toX(x), 2).put(" ").number(toY(y), 2).put(" l").view());
}

void PdfWriter::curveTo(float x1, float y1, float x2, float y2, float x3, float y3)
{
    out(line_.begin().number(toX(x1), 2).put(" ").number(toY(y1), 2).put(" ")
            .number(toX(x2), 2).put(" ").number(toY(y2), 2).put(" ")
            .number(toX(x3), 2).put(" ").number(toY(y3), 2).put(" c").view());
}

void PdfWriter::paintPath(std::string_view style)
{
    if (style == "D") {
        out("s");
    } else if (style == "DF") {
        out("b");
    } else if (style == "F") {
        out("f");
    } else if (style.empty()) {
        out("S");
    } else {
        out(style);
    }
}

void PdfWriter::triangle(float x1, float y1, float x2, float y2, float x3, float y3, std::string_view style)
{
    moveTo(x1, y1);
    lineTo(x2, y2);
    lineTo(x3, y3);
    paintPath(style);
}

void PdfWriter::ellipse(float x, float y, float rx, float ry, std::string_view style)
{
    // Four quarter arcs, counter-clockwise on the page from the rightmost point;
    // each control point lies 4/3 (sqrt 2 - 1) of the radius from its arc end.
    const float kappa = 4.0f / 3.0f * (std::sqrt(2.0f) - 1.0f);
    float lx = kappa * rx;
    float ly = kappa * ry;
    moveTo(x + rx, y);
    curveTo(x + rx, y - ly, x + lx, y - ry, x, y - ry);
    curveTo(x - lx, y - ry, x - rx, y - ly, x - rx, y);
    curveTo(x - rx, y + ly, x - lx, y + ry, x, y + ry);
    curveTo(x + lx, y + ry, x + rx, y + ly, x + rx, y);
    paintPath(style);
}

void PdfWriter::circle(float x, float y, float r, std::string_view style) { ellipse(x, y, r, r, style); }

void PdfWriter::setDash(std::int32_t on, std::int32_t off)
{
    if (on != 0 && off != 0) {
        out(line_.begin().put("[").number(static_cast<float>(on) * doc_.k, 3).put(" ")
                .number(static_cast<float>(off) * doc_.k, 3).put("] 0 d").view());
    } else {
        out("[] 0 d");
    }
}

void PdfWriter::transform(float a, float b, float c, float d, float e, float f)
{
    out(line_.begin().number(a, 3).put(" ").number(b, 3).put(" ").number(c, 3).put(" ").number(d, 3)
            .put(" ").number(e, 3).put(" ").number(f, 3).put(" cm").view());
}

void PdfWriter::rotate(float angle, float x, float y)
{
    if (x == -1.0f) x = doc_.x;
    if (y == -1.0f) y = doc_.y;
    if (doc_.rotationAngle != 0.0f) out("Q");
    doc_.rotationAngle = angle;
    if (angle == 0.0f) return;
    float a = angle * 3.14159265f / 180.0f;
    float cx = x * doc_.k;
    float cy = (doc_.h - y) * doc_.k;
    float cosA = std::cos(a);
    float sinA = std::sin(a);
    out(line_.begin().put("q ").number(cosA, 5).put(" ").number(sinA, 5).put(" ").number(-sinA, 5)
            .put(" ").number(cosA, 5).put(" ").number(cx, 2).put(" ").number(cy, 2).put(" cm").view());
    out(line_.begin().put("1 0 0 1 ").number(-cx, 2).put(" ").number(-cy, 2).put(" cm").view());
}

void PdfWriter::replaceAliasInPages()
{
    const std::string& alias = doc_.totalPagesAlias;
    if (alias.empty()) return;
    const std::string number = std::to_string(doc_.pages.size());
    // The pages are copied once, the alias replaced on the way, into one buffer of
    // the new total size: a buffer per page would cost a page's worth of
    // allocation granularity each, many times the contents of a long document.
    std::size_t occurrences = 0;
    for (std::size_t index = 0; index < doc_.pages.size(); ++index) {
        if (!doc_.pages[index].content.allocated()) occurrences += findFromEnd(pageContent(index), alias).size();
    }
    if (occurrences == 0) return;
    ByteBuffer rewritten;
    const std::size_t newLength = doc_.pageContents.length() - occurrences * alias.size() + occurrences * number.size();
    if (!rewritten.ensureCapacity(newLength)) {
        doc_.errorCode = kOutOfMemory;
        return;
    }
    for (std::size_t index = 0; index < doc_.pages.size(); ++index) {
        PageRecord& page = doc_.pages[index];
        // Read before contentStart moves: the page ends where the next one starts.
        const std::string_view original = page.content.allocated() ? std::string_view() : pageContent(index);
        page.contentStart = rewritten.length();
        const std::vector<std::size_t> positions = findFromEnd(original, alias);
        std::size_t read = 0;
        for (auto at = positions.rbegin(); at != positions.rend(); ++at) {
            rewritten.append(original.substr(read, *at - read));
            rewritten.append(number);
            read = *at + alias.size();
        }
        rewritten.append(original.substr(read));
    }
    doc_.pageContents = std::move(rewritten);
}

void PdfWriter::putPages()
{
    replaceAliasInPages();

    // Page contents are spliced in, not copied: the buffer takes only the page
    // objects and the stream frames around the contents.
    std::size_t needed = doc_.buffer.length() + doc_.pages.size() * 160;
    if (needed > doc_.buffer.capacity() && !doc_.buffer.ensureCapacity(needed)) doc_.errorCode = kOutOfMemory;
    doc_.spliced.reserve(doc_.spliced.size() + doc_.pages.size());

    std::string kids;
    kids.reserve(doc_.pages.size() * 12);
    for (std::size_t index = 0; index < doc_.pages.size(); ++index) {
        PageRecord& page = doc_.pages[index];
        newObject();
        page.pageObject = doc_.objectCount;
        kids += std::to_string(page.pageObject);
        kids += " 0 R ";
        out("<</Type /Page");
        out("/Parent 1 0 R");
        out(line_.begin().put("/MediaBox [0 0 ").number(page.wPt, 2).put(" ").number(page.hPt, 2).put("]").view());
        out("/Resources 2 0 R");
        out(line_.begin().put("/Contents ").integer(doc_.objectCount + 1).put(" 0 R>>").view());
        out("endobj");

        // A page's content is spliced in from where it lies; compressing needs a
        // buffer of its own.
        std::string_view content = pageContent(index);
        std::string_view filter;
        if (compressor_ && compressor_->holds(index)) {
            filter = takeCompressedPage(index);
            content = page.content.view();
        } else if (doc_.compressProc) {
            if (!page.content.allocated() && (!page.content.ensureCapacity(content.size()) || !page.content.append(content))) {
                doc_.errorCode = kOutOfMemory;
            } else if (compressPage(doc_.compressProc, page.content, doc_.errorCode)) {
                filter = "/Filter /FlateDecode ";
            }
            content = page.content.view();
        }
        newObject();
        out(line_.begin().put("<<").put(filter).put("/Length ").integer(static_cast<std::int64_t>(content.size()))
                .put(">>").view());
        out("stream");
        if (page.content.allocated()) {
            splice(std::move(page.content));
        } else {
            splice(content);
        }
        out("");
        out("endstream");
        out("endobj");
    }

    doc_.offsets[0] = fileLength();
    out("1 0 obj");
    out("<</Type /Pages");
    out("/Kids [" + std::string(trimBlanks(kids)) + "]");
    out("/Count " + std::to_string(doc_.pages.size()));
    out(">>");
    out("endobj");
}

}  // namespace tabulon::pdf
