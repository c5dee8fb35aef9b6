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

void PdfExport::drawLine(const JobLine& line, const RendererState& state)
{
    std::string_view command = line.commandWord();
    if (command == "txt") {
        drawText(line, state);
    } else if (command == "img") {
        drawImage(line);
    } else if (command == "line") {
        drawStraightLine(line, state);
    } else if (command == "box") {
        drawBox(line, state);
    } else if (command == "eop") {
        writer_.addPage("", "");
    }
}

void PdfExport::drawText(const JobLine& line, const RendererState& state)
{
    float x = readDecimal(line.field(5));
    float y = readDecimal(line.field(6));
    writer_.setFont(state.fontName, line.field(3), readInteger(line.field(4)));
    // The baseline lies one font size, in whole millimetres, below the given y.
    std::int32_t d = roundHalfEven(writer_.getFontSize());
    const ColourSlot& colour = state.textColour;
    writer_.setTextColor(static_cast<float>(colour.r), static_cast<float>(colour.g), static_cast<float>(colour.b));
    writer_.text(x, y + static_cast<float>(d), line.freeText);
}

void PdfExport::drawImage(const JobLine& line)
{
    std::string file(line.field(6));
    writer_.image(file, static_cast<float>(readInteger(line.field(2))), static_cast<float>(readInteger(line.field(3))),
                  static_cast<float>(readInteger(line.field(4))), static_cast<float>(readInteger(line.field(5))), 0);
    // The writer keeps every picture it could load under its file name; one that
    // is missing there was left out, and errorCode says why.
    const auto& images = writer_.document().images;
    auto image = std::find_if(images.begin(), images.end(), [&](const auto& record) { return record.name == file; });
    if (image == images.end()) {
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

void PdfExport::drawStraightLine(const JobLine& line, const RendererState& state)
{
    writer_.setLineWidth(tenths(readInteger(line.field(7))));
    const ColourSlot& colour = state.lineColour;
    writer_.setDrawColor(static_cast<float>(colour.r), static_cast<float>(colour.g), static_cast<float>(colour.b));
    writer_.line(readDecimal(line.field(2)), readDecimal(line.field(3)), readDecimal(line.field(4)),
                 readDecimal(line.field(5)));
}

void PdfExport::drawBox(const JobLine& line, const RendererState& state)
{
    writer_.setLineWidth(tenths(readInteger(line.field(8))));
    const ColourSlot& colour = state.boxColour;
    auto r = static_cast<float>(colour.r), g = static_cast<float>(colour.g), b = static_cast<float>(colour.b);
    writer_.setDrawColor(r, g, b);
    float x = readDecimal(line.field(2)), y = readDecimal(line.field(3));
    float w = readDecimal(line.field(4)), h = readDecimal(line.field(5));
    if (isFillFlag(line.field(7))) {
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
