#include "pdf_export.h"

#include <algorithm>

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
    writer_.initialize();
    outcome_.fileName = options_.fileName.empty() ? job.documentName + ".pdf" : options_.fileName;
    writer_.create(job.orientationCode, "mm", kA4);
    // create() starts every document uncompressed, so the choice goes in after it.
    if (options_.compress) writer_.setCompressProc(pdf::deflateCompressProc());
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
    return true;
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

void PdfExport::drawPicture(const PictureFields& fields)
{
    std::string file(fields.file);
    writer_.image(file, static_cast<float>(readInteger(fields.x)), static_cast<float>(readInteger(fields.y)),
                  static_cast<float>(readInteger(fields.width)), static_cast<float>(readInteger(fields.height)), 0);
    // The writer keeps every picture it could load under its file names; one that
    // is missing there was left out, and errorCode says why.
    const pdf::ImageRecord* image = writer_.findImage(file);
    if (image == nullptr) {
        notePictureFailure(file);
    } else if (!image->damage.empty()) {
        notePictureWarning(*image);
    }
}

void PdfExport::notePictureFailure(const std::string& file)
{
    for (const PictureFailure& failure : outcome_.pictureFailures) {
        if (failure.file == file) return;
    }
    outcome_.pictureFailures.push_back({file, writer_.errorCode(), std::string(writer_.getErrorText())});
}

void PdfExport::notePictureWarning(const pdf::ImageRecord& image)
{
    for (const PictureWarning& warning : outcome_.pictureWarnings) {
        if (warning.file == image.name) return;
    }
    outcome_.pictureWarnings.push_back({image.name, std::string(image.damage)});
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
        outcome_.bytes.clear();
    }
    return outcome_;
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
