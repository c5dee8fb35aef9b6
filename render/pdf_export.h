// The PDF export path: one PDF pass of the renderer turned into PdfWriter calls.
// start() opens an A4 document in millimetres with the job's orientation and its
// first page, drawLine() writes one parsed job line, finish() saves the document
// and hands back what happened: the writer's error code and text when the file
// was not written, every picture that could not be embedded, and every picture
// embedded with damaged data. Starting a viewer on the file is the caller's
// business.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "command_drawer.h"
#include "job_format.h"
#include "job_state.h"
#include "pdf_writer.h"
#include "renderer_state.h"

namespace tabulon::render {

struct PdfExportOptions {
    // Where the file goes; empty means documentName + ".pdf" in the current folder.
    std::string fileName;
    // Keep the finished file in memory (PdfExportOutcome::bytes) instead of writing it.
    bool inMemory = false;
    // Deflate page contents, forms and font files.
    bool compress = false;
    // Embed TrueType fonts with only the glyphs the document draws.
    bool subsetFonts = false;
};

struct PictureFailure {
    std::string file;
    std::int32_t errorCode = 0;
    std::string reason;  // the writer's text for errorCode
};

// A picture embedded although its data is damaged, so that it may not show whole.
struct PictureWarning {
    std::string file;
    std::string text;  // what is wrong with it, e.g. "its data ends early"
};

// What became of one picture placed on the open page: left out (the writer's
// code and reason), embedded with damaged data, or neither (embedded whole).
struct PicturePlacement {
    std::optional<PictureFailure> failure;
    std::optional<PictureWarning> warning;
};

// Places the picture of an "img" line through the writer, as the PDF export does.
PicturePlacement placePicture(pdf::PdfWriter& writer, const PictureFields& fields);

struct PdfExportOutcome {
    std::string fileName;                         // the file written (or meant to be)
    std::int32_t errorCode = 0;                   // 0 when the document was saved
    std::string errorText;                        // the writer's text for errorCode
    std::string errorReason;                      // why, when errorText does not tell; often empty
    std::vector<PictureFailure> pictureFailures;  // one entry per file name
    std::vector<PictureWarning> pictureWarnings;  // one entry per file name
    std::string bytes;                            // the file, for an in-memory export
    std::int32_t pageCount = 0;

    bool saved() const { return errorCode == 0; }
};

class PdfExport : private CommandDrawer {
public:
    explicit PdfExport(pdf::PdfWriter& writer, PdfExportOptions options = {});

    void start(const JobState& job);
    void drawLine(const JobLine& line, const RendererState& state);
    const PdfExportOutcome& finish();
    const PdfExportOutcome& outcome() const { return outcome_; }

private:
    void drawText(const TextFields& fields, std::string_view text, const RendererState& state) override;
    void drawPicture(const PictureFields& fields) override;
    void drawStraightLine(const LineFields& fields, const RendererState& state) override;
    void drawBox(const BoxFields& fields, const RendererState& state) override;
    bool endPage() override;
    void notePictureFailure(PictureFailure failure);
    void notePictureWarning(PictureWarning warning);

    pdf::PdfWriter& writer_;
    PdfExportOptions options_;
    PdfExportOutcome outcome_;
    // The file names already in the outcome's failures and warnings, so that a job
    // naming many pictures is reported in time linear in its lines.
    std::unordered_set<std::string> failedFiles_;
    std::unordered_set<std::string> warnedFiles_;
};

// True for the error codes that mean the file was not written; picture codes
// only mean that a picture was left out.
bool isSaveFailure(std::int32_t errorCode);

// What a message says after a file's name and error code: the writer's text,
// and the reason when there is one ("Error creating file. It is a link ...").
std::string saveFailureText(const PdfExportOutcome& outcome);

// A file name as a message shows it. A document name can be a whole clipboard's
// text, so a name longer than kMessageNameBytes keeps its first and last bytes
// around "...", and a message box or a terminal line stays readable.
inline constexpr std::size_t kMessageNameBytes = 200;
std::string fileNameForMessage(std::string_view fileName);

// The line, without its newline, that `program` writes on standard error for a
// picture embedded with damaged data:
// "PROGRAM: warning: picture NAME may be damaged: TEXT".
std::string pictureWarningLine(std::string_view program, const PictureWarning& warning);

}  // namespace tabulon::render
