// Document model: initialize, create, units and formats, margins, display mode and
// the hook lists.
#include "pdf_writer.h"

#include "page_compressor.h"
#include "pdf_text_util.h"

namespace tabulon::pdf {

namespace {

// The main buffer's first allocation: the file image starts at 64 KB.
constexpr std::size_t kMainBufferStart = 65536;

// Points per user unit, computed in single precision.
float scaleForUnit(std::string_view unit)
{
    if (unit == "pt") return 1.0f;
    if (unit == "cm") return static_cast<float>(72.0 / 2.54);
    if (unit == "in") return 72.0f;
    return static_cast<float>(72.0 / 25.4);  // "mm" and every unknown unit
}

// The built-in catalog, resource and close procedures serve outlines, viewer
// preferences and JavaScript. No operation of this writer sets any of those, so
// the output procedures have nothing to write; the close procedure empties the
// outline lists for the next document.
void writeOutlineObjects(PdfWriter&) {}
void writeJavaScriptObjects(PdfWriter&) {}
void writeOutlineCatalogEntries(PdfWriter&) {}
void writeViewerPreferences(PdfWriter&) {}
void writeJavaScriptNames(PdfWriter&) {}

}  // namespace

PdfWriter::PdfWriter() = default;
PdfWriter::~PdfWriter() = default;

void PdfWriter::clearLists()
{
    doc_.pages.clear();
    doc_.offsets.clear();
    doc_.fonts.clear();
    doc_.fontFiles.clear();
    doc_.fontLookups.clear();
    doc_.images.clear();
    imageIndex_.clear();
    imageByFile_.clear();
    doc_.pageEndHooks.clear();
    doc_.catalogHooks.clear();
    doc_.resourceHooks.clear();
    doc_.closeHooks.clear();
    doc_.outlines.clear();
    doc_.outlineLevels.clear();
    doc_.currentFont = -1;
    compressor_.reset();
}

void PdfWriter::initialize()
{
    clearLists();
    registerBuiltinDocumentHooks();
    doc_.pageEndHooks.emplace_back([](PdfWriter& writer) {
        // A rotation never crosses a page boundary.
        if (writer.doc_.rotationAngle != 0.0f) {
            writer.out("Q");
            writer.doc_.rotationAngle = 0.0f;
        }
    });
}

void PdfWriter::registerBuiltinDocumentHooks()
{
    doc_.resourceHooks.emplace_back(writeOutlineObjects);
    doc_.resourceHooks.emplace_back(writeJavaScriptObjects);
    doc_.catalogHooks.emplace_back(writeOutlineCatalogEntries);
    doc_.catalogHooks.emplace_back(writeViewerPreferences);
    doc_.catalogHooks.emplace_back(writeJavaScriptNames);
    doc_.closeHooks.emplace_back([](PdfWriter& writer) {
        writer.doc_.outlines.clear();
        writer.doc_.outlineLevels.clear();
    });
}

void PdfWriter::resetHooks()
{
    doc_.resourceHooks.clear();
    doc_.catalogHooks.clear();
    doc_.closeHooks.clear();
    registerBuiltinDocumentHooks();
}

void PdfWriter::addPageEndHook(HookProc proc) { doc_.pageEndHooks.push_back(std::move(proc)); }
void PdfWriter::addCatalogHook(HookProc proc) { doc_.catalogHooks.push_back(std::move(proc)); }
void PdfWriter::addResourceHook(HookProc proc) { doc_.resourceHooks.push_back(std::move(proc)); }
void PdfWriter::addCloseHook(HookProc proc) { doc_.closeHooks.push_back(std::move(proc)); }

int PdfWriter::create(std::string_view orientation, std::string_view unit, std::string_view format)
{
    doc_.headerProc = nullptr;
    doc_.footerProc = nullptr;
    doc_.headerArg = 0;
    doc_.footerArg = 0;
    doc_.acceptPageBreakProc = nullptr;
    doc_.compressProc = nullptr;
    doc_.compression = Compression::AtClose;
    compressor_.reset();
    doc_.subsetFonts = false;
    doc_.offsets.assign(2, 0);  // objects 1 and 2 are reserved

    releaseFileImage();
    if (!doc_.buffer.ensureCapacity(kMainBufferStart)) {
        doc_.errorCode = kOutOfMemory;
        return 0;
    }

    if (orientation.empty()) orientation = "P";
    if (unit.empty()) unit = "mm";
    if (format.empty()) format = "595.28,841.89";

    doc_.page = 0;
    doc_.objectCount = 2;
    doc_.state = DocumentState::Created;
    doc_.inFooter = false;
    doc_.fontFamily.clear();
    doc_.fontStyle.clear();
    doc_.fontSizePt = 12;
    doc_.underline = false;
    doc_.drawColor = "0 G";
    doc_.fillColor = "0 g";
    doc_.textColor = "0 g";
    doc_.colorFlag = false;
    doc_.errorCode = kNoError;
    doc_.pageNumber = 1;
    doc_.wordSpacing = 0.0f;
    doc_.rotationAngle = 0.0f;

    doc_.k = scaleForUnit(unit);
    doc_.fontSize = static_cast<float>(doc_.fontSizePt) / doc_.k;

    setDefaultFormat(orientation, format);

    float margin = 28.35f / doc_.k;  // 1 cm
    setMargins(margin, margin, -1.0f);
    doc_.cMargin = margin / 10.0f;
    doc_.lineWidth = 0.567f / doc_.k;  // 0.2 mm
    setAutoPageBreak(1, 2.0f * margin);
    setDisplayMode(-2, "/OneColumn");

    if (doc_.state == DocumentState::Created) {
        doc_.state = DocumentState::HeaderWritten;
        out("%PDF-1.3");
    }
    return 1;
}

void PdfWriter::setDefaultFormat(std::string_view orientation, std::string_view format)
{
    doc_.fwPt = parseFloatField(format, 0);
    doc_.fhPt = parseFloatField(format, 1);
    doc_.fw = doc_.fwPt / doc_.k;
    doc_.fh = doc_.fhPt / doc_.k;
    std::string upper = toUpper(orientation);
    bool landscape = upper == "L" || upper == "LANDSCAPE";
    doc_.defOrientation.assign(1, landscape ? 'L' : 'P');
    doc_.wPt = landscape ? doc_.fhPt : doc_.fwPt;
    doc_.hPt = landscape ? doc_.fwPt : doc_.fhPt;
    doc_.curOrientation = doc_.defOrientation;
    doc_.w = doc_.wPt / doc_.k;
    doc_.h = doc_.hPt / doc_.k;
}

void PdfWriter::setMargins(float left, float top, float right)
{
    doc_.lMargin = left;
    doc_.tMargin = top;
    doc_.rMargin = right == -1.0f ? left : right;
}

void PdfWriter::setLeftMargin(float margin)
{
    doc_.lMargin = margin;
    if (doc_.page > 0 && doc_.x < margin) doc_.x = margin;
}

void PdfWriter::setTopMargin(float margin) { doc_.tMargin = margin; }
void PdfWriter::setRightMargin(float margin) { doc_.rMargin = margin; }

void PdfWriter::setAutoPageBreak(std::int32_t autoBreak, float margin)
{
    doc_.autoPageBreak = autoBreak;
    doc_.bMargin = margin;
    doc_.pageBreakTrigger = doc_.h - margin;
}

void PdfWriter::setDisplayMode(std::int32_t zoom, std::string_view layout)
{
    doc_.zoomMode = zoom;
    if (layout == "/SinglePage" || layout == "/OneColumn" || layout == "/TwoColumnLeft") {
        doc_.layoutMode = layout;
    } else {
        doc_.layoutMode = "/OneColumn";
    }
}

void PdfWriter::setHeaderProc(PageProc proc, std::int32_t arg)
{
    doc_.headerProc = std::move(proc);
    doc_.headerArg = arg;
}

void PdfWriter::setFooterProc(PageProc proc, std::int32_t arg)
{
    doc_.footerProc = std::move(proc);
    doc_.footerArg = arg;
}

void PdfWriter::setAcceptPageBreakProc(AcceptPageBreakProc proc)
{
    doc_.acceptPageBreakProc = std::move(proc);
}

bool PdfWriter::acceptPageBreak()
{
    if (doc_.acceptPageBreakProc) return doc_.acceptPageBreakProc(*this);
    return doc_.autoPageBreak != 0;
}

void PdfWriter::callPageProc(const PageProc& proc, std::int32_t arg)
{
    if (proc) proc(*this, arg);
}

}  // namespace tabulon::pdf
