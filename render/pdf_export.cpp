#include "pdf_export.h"

#include <utility>

#include "deflate_compress.h"
#include "rounding.h"

namespace tabulon::render {

namespace {

// A4 in points, given to the writer as its format text.
constexpr std::string_view kA4 = "595.28,841.89";
constexpr std::string_view kTotalPagesAlias = "{nb}";

// Line widths are whole tenths of a millimetre, computed in single precision.
float tenths(std::int32_t value) { return static_cast<float>(value) * 0.1f; }

}  // namespace

bool isSaveFailure(std::int32_t errorCode) { return errorCode >= pdf::kBadFileName; }

PdfExport::PdfExport(pdf::PdfWriter& writer, PdfExportOptions options)
    : writer_(writer), options_(std::move(options))
{
}

void PdfExport::start(const JobState& job)
{
    outcome_ = PdfExportOutcome{};
    failedFiles_.clear();
    warnedFiles_.clear();
    writer_.initialize();
    outcome_.fileName = options_.fileName.empty() ? job.documentName + ".pdf" : options_.fileName;
    writer_.create(job.orientationCode, "mm", kA4);
    // create() starts every document uncompressed and with whole fonts, so the
    // choices go in after it. Pages are compressed as they end, beside the pages
    // that follow.
    if (options_.compress) writer_.setCompressProc(pdf::deflateCompressProc(), pdf::Compression::Concurrent);
    writer_.setFontSubsetting(options_.subsetFonts);
    writer_.setTopMargin(0);
    writer_.setLeftMargin(0);
    writer_.setRightMargin(0);
    writer_.aliasTotalPages(kTotalPagesAlias);
    writer_.addPage("", "");
}

void PdfExport::drawLine(const JobLine& line, const RendererState& state) { drawJobLine(line, state, *this); }

bool PdfExport::endPage()
{
    writer_.addPage("", "");
    // A document past what a PDF file can hold is not saved: the pass ends here
    // instead of working through the rest of the job for nothing.
    return !writer_.refused();
}

void PdfExport::drawText(const TextFields& fields, std::string_view text, const RendererState& state)
{
    float x = readDecimal(fields.x);
    float y = readDecimal(fields.y);
    writer_.setFont(state.fontName, fields.style, readInteger(fields.size));
    // The baseline lies one font size, in whole millimetres, below the given y.
    std::int32_t d = roundHalfEven(writer_.getFontSize());
    const ColourSlot& colour = state.textColour;
    writer_.setTextColor(static_cast<float>(colour.r), static_cast<float>(colour.g), static_cast<float>(colour.b));
    writer_.text(x, y + static_cast<float>(d), text);
}

PicturePlacement placePicture(pdf::PdfWriter& writer, const PictureFields& fields)
{
    PicturePlacement placement;
    std::string file(fields.file);
    writer.image(file, static_cast<float>(readInteger(fields.x)), static_cast<float>(readInteger(fields.y)),
                 static_cast<float>(readInteger(fields.width)), static_cast<float>(readInteger(fields.height)), 0);
    // The writer keeps every picture it could load under its file name; one that
    // is missing there was left out, and errorCode says why.
    const pdf::ImageRecord* image = writer.findImage(file);
    if (image == nullptr) {
        placement.failure = PictureFailure{file, writer.errorCode(), std::string(writer.getErrorText())};
    } else if (!image->damage.empty()) {
        placement.warning = PictureWarning{image->name, std::string(image->damage)};
    }
    return placement;
}

void PdfExport::drawPicture(const PictureFields& fields)
{
    PicturePlacement placement = placePicture(writer_, fields);
    if (placement.failure) notePictureFailure(std::move(*placement.failure));
    if (placement.warning) notePictureWarning(std::move(*placement.warning));
}

void PdfExport::notePictureFailure(PictureFailure failure)
{
    if (!failedFiles_.insert(failure.file).second) return;
    outcome_.pictureFailures.push_back(std::move(failure));
}

void PdfExport::notePictureWarning(PictureWarning warning)
{
    if (!warnedFiles_.insert(warning.file).second) return;
    outcome_.pictureWarnings.push_back(std::move(warning));
}

void PdfExport::drawStraightLine(const LineFields& fields, const RendererState& state)
{
    writer_.setLineWidth(tenths(readInteger(fields.width)));
    const ColourSlot& colour = state.lineColour;
    writer_.setDrawColor(static_cast<float>(colour.r), static_cast<float>(colour.g), static_cast<float>(colour.b));
    writer_.line(readDecimal(fields.x1), readDecimal(fields.y1), readDecimal(fields.x2), readDecimal(fields.y2));
}

void PdfExport::drawBox(const BoxFields& fields, const RendererState& state)
{
    writer_.setLineWidth(tenths(readInteger(fields.outlineWidth)));
    const ColourSlot& colour = state.boxColour;
    auto r = static_cast<float>(colour.r), g = static_cast<float>(colour.g), b = static_cast<float>(colour.b);
    writer_.setDrawColor(r, g, b);
    float x = readDecimal(fields.x), y = readDecimal(fields.y);
    float w = readDecimal(fields.width), h = readDecimal(fields.height);
    if (isFillFlag(fields.fill)) {
        writer_.setFillColor(r, g, b);
        writer_.rect(x, y, w, h, "F");
    } else {
        writer_.rect(x, y, w, h, "");
    }
}

const PdfExportOutcome& PdfExport::finish()
{
    outcome_.pageCount = writer_.document().page;
    if (options_.inMemory) {
        writer_.close();
        outcome_.bytes = std::string(writer_.bytes());
    } else {
        writer_.save(outcome_.fileName);
    }
    std::int32_t code = writer_.errorCode();
    if (isSaveFailure(code)) {
        outcome_.errorCode = code;
        outcome_.errorText = std::string(writer_.getErrorText());
        outcome_.errorReason = std::string(writer_.saveFailureReason());
        outcome_.bytes.clear();
    }
    return outcome_;
}

std::string saveFailureText(const PdfExportOutcome& outcome)
{
    return outcome.errorReason.empty() ? outcome.errorText : outcome.errorText + " " + outcome.errorReason;
}

std::string fileNameForMessage(std::string_view fileName)
{
    constexpr std::size_t kTail = 40;
    if (fileName.size() <= kMessageNameBytes) return std::string(fileName);
    std::string shown(fileName.substr(0, kMessageNameBytes - kTail - 3));
    shown += "...";
    shown += fileName.substr(fileName.size() - kTail);
    return shown;
}

std::string pictureWarningLine(std::string_view program, const PictureWarning& warning)
{
    std::string line(program);
    line += ": warning: picture ";
    line += fileNameForMessage(warning.file);
    line += " may be damaged: ";
    line += warning.text;
    return line;
}

}  // namespace tabulon::render
