// The whole path from job text to PDF bytes: intake, a preview pass answering
// Yes at every page question (as tabulon-export does), then the PDF pass into
// memory. Pictures named by a job are served from a fixed folder holding one
// picture of each kind. Checks that the PDF's xref is well formed with every
// offset at its object, that its page count is the "eop" count plus one, and
// that every picture that loaded is written as an object of the file.
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "fuzz_check.h"
#include "harnesses.h"
#include "job_format.h"
#include "job_intake.h"
#include "job_renderer.h"
#include "pdf_checks.h"
#include "pdf_export.h"
#include "pdf_writer.h"
#include "system_files.h"

namespace tabulon::fuzz::job {

namespace {

namespace fs = std::filesystem;

// The folder the corpus's jobs name their pictures in.
constexpr const char* kPictureFolder = "/tmp/tabulon-fuzz-pictures";

void copyPicture(const char* from, const char* to)
{
    std::error_code ignored;
    fs::copy_file(fs::path(TABULON_FUZZ_DIR) / "corpus" / from, fs::path(kPictureFolder) / to,
                  fs::copy_options::skip_existing, ignored);
}

void servePictures()
{
    static bool served = false;
    if (served) return;
    served = true;
    std::error_code ignored;
    fs::create_directories(kPictureFolder, ignored);
    copyPicture("jpeg/jd-jpg-size-33x33.jpg", "a.jpg");
    copyPicture("png/basn3p04.png", "b.png");
    copyPicture("png/basn2c08.png", "c.png");
    copyPicture("jpx/gen-rgba8.j2k", "d.j2k");
    copyPicture("wmf/pil-drawing.wmf", "e.wmf");
    // Written once; runs side by side share the folder and must not see a file half written.
    fs::path broken = fs::path(kPictureFolder) / "broken.png";
    if (!fs::exists(broken, ignored)) std::ofstream(broken, std::ios::binary) << "\x89PNG\r\n\x1a\n broken";
}

std::int32_t eopCount(const render::JobState& job)
{
    std::int32_t eops = 0;
    render::JobLineCursor cursor = job.lines();
    for (std::string_view text; cursor.next(text);) {
        if (render::splitJobLine(text).command == render::JobCommand::EndOfPage) ++eops;
    }
    return eops;
}

void checkPages(std::string_view pdf, std::int32_t pages)
{
    std::string count = "/Count " + std::to_string(pages) + "\n";
    require(pdf.find("/Type /Pages\n/Kids [") != std::string_view::npos && pdf.find(count) != std::string_view::npos,
            "the page tree's count is not the eop count plus one");
}

// The distinct picture names the job's "img" lines give.
std::set<std::string> pictureNames(const render::JobState& job)
{
    std::set<std::string> names;
    render::JobLineCursor cursor = job.lines();
    for (std::string_view text; cursor.next(text);) {
        render::JobLine line = render::splitJobLine(text);
        if (line.command == render::JobCommand::Picture) names.emplace(line.picture().file);
    }
    return names;
}

// Each named picture either is reported left out or is written, as an image or
// form object of the file: once for each file, however many names lead to it
// ("a.jpg" and "./a.jpg", or a name the system cuts at a NUL byte).
void checkPictures(const PdfLayout& layout, const render::JobState& job, const render::PdfExportOutcome& outcome)
{
    std::set<std::string> loaded = pictureNames(job);
    for (const render::PictureFailure& failure : outcome.pictureFailures) {
        require(loaded.erase(failure.file) == 1, "a picture reported left out that the job does not name");
    }
    std::set<std::pair<std::uint64_t, std::uint64_t>> files;
    for (const std::string& name : loaded) {
        const std::optional<pdf::FileIdentity> identity = pdf::regularFileIdentity(name);
        require(identity.has_value(), "a picture that loaded is no file");
        files.emplace(identity->device, identity->index);
    }
    std::size_t written = 0;
    for (std::size_t n = 1; n <= layout.objectCount(); ++n) {
        std::string_view object = layout.object(n);
        if (object.find("<</Type /XObject\n") != std::string_view::npos) ++written;
    }
    require(written == files.size(), "the pictures written differ from the files that loaded");
}

}  // namespace

int fuzzOne(const std::uint8_t* data, std::size_t size)
{
    servePictures();
    render::JobState job = render::intakeJob(std::string(reinterpret_cast<const char*>(data), size));
    render::JobRenderer renderer;
    render::previewEveryPage(renderer, job);

    pdf::PdfWriter writer;
    render::PdfExportOptions options;
    options.inMemory = true;
    options.compress = size % 2 == 1;
    render::PdfExport pdfExport(writer, options);
    render::RenderOutputs pdfOutputs;
    pdfOutputs.pdfExport = &pdfExport;
    renderer.renderJob(job, render::RenderTarget::Pdf, pdfOutputs);
    const render::PdfExportOutcome& outcome = pdfExport.outcome();
    if (!outcome.saved()) {
        require(outcome.bytes.empty() && !outcome.errorText.empty(), "a failed export without its reason");
        return 0;
    }
    const std::int32_t pages = eopCount(job) + 1;
    require(outcome.pageCount == pages, "the page count is not the eop count plus one");
    PdfLayout layout(outcome.bytes);
    checkPages(outcome.bytes, pages);
    checkPictures(layout, job, outcome);
    return 0;
}

}  // namespace tabulon::fuzz::job
