#include "export_command.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ansi_text.h"
#include "demo_job.h"
#include "desktop_outputs.h"
#include "job_check_command.h"
#include "job_intake.h"
#include "job_renderer.h"
#include "pdf_export.h"
#include "program_paths.h"

namespace tabulon::exporter {

namespace {

constexpr const char* kProgram = "tabulon-export";

// Reads to the end in whole blocks, not one character at a time through an
// iterator. `expected` is the size the input is known to have (0 when unknown):
// that much is read straight into the text, so that a large file is not copied
// again each time the text outgrows its room.
bool readAll(std::istream& in, std::string& text, std::size_t expected = 0)
{
    text.clear();
    if (expected > 0) {
        text.resize(expected);
        in.read(text.data(), static_cast<std::streamsize>(expected));
        text.resize(static_cast<std::size_t>(in.gcount()));
        if (text.size() < expected) return !in.bad();
    }
    char block[1 << 16];
    while (in.read(block, sizeof block) || in.gcount() > 0) {
        text.append(block, static_cast<std::size_t>(in.gcount()));
    }
    return !in.bad();
}

std::size_t fileSize(const std::string& path)
{
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(path, error);
    return error || size > std::string().max_size() ? 0 : static_cast<std::size_t>(size);
}

}  // namespace

bool readJobText(const ExportOptions& options, std::istream& standardInput, std::string& text, std::string& error)
{
    if (options.source == JobSource::Demo) {
        // An installed demo finds its logo in the data folder when the current folder has none.
        text = render::utf8ToWindows1252(demo::buildDemoJob(demo::findDemoLogo(platform::dataFilePlaces(demo::kDemoLogo))));
        return true;
    }
    std::string raw;
    if (options.source == JobSource::File) {
        std::ifstream file(options.inputFile, std::ios::binary);
        if (!file || !readAll(file, raw, fileSize(options.inputFile))) {
            error = options.inputFile + ": " + std::strerror(errno);
            return false;
        }
    } else if (!readAll(standardInput, raw)) {
        error = "standard input could not be read";
        return false;
    }
    if (options.encoding == InputEncoding::Utf8) render::convertUtf8ToWindows1252(raw);
    text = std::move(raw);
    return true;
}

int runExport(const ExportOptions& options, std::istream& standardInput, std::ostream& errors,
              pdf::FontSource* fontSource)
{
    std::string text;
    std::string error;
    if (!readJobText(options, standardInput, text, error)) {
        errors << kProgram << ": " << error << '\n';
        return 1;
    }
    render::JobState job = render::intakeJob(std::move(text));
    if (wantsDesktopOutputs(options)) {
        return runDesktopOutputs(options, job, errors);
    }

    render::JobRenderer renderer;
    render::previewEveryPage(renderer, job);

    pdf::PdfWriter writer;
    writer.setFontSource(fontSource);
    render::PdfExportOptions pdfOptions;
    pdfOptions.fileName = options.outputFile;
    pdfOptions.compress = options.compress;
    pdfOptions.subsetFonts = options.subset;
    render::PdfExport pdfExport(writer, pdfOptions);
    render::RenderOutputs pdf;
    pdf.pdfExport = &pdfExport;
    // The last pass: the job's text goes back to the system as the pages grow.
    renderer.renderJob(std::move(job), render::RenderTarget::Pdf, pdf);

    const render::PdfExportOutcome& outcome = pdfExport.outcome();
    // The warnings go out in large pieces: standard error is unbuffered, and a job
    // may name hundreds of thousands of missing pictures.
    std::string warnings;
    auto flushWarnings = [&](std::size_t atLeast) {
        if (warnings.size() < atLeast) return;
        errors << warnings;
        warnings.clear();
    };
    for (const render::PictureFailure& failure : outcome.pictureFailures) {
        std::string reason = failure.reason.empty() ? "it could not be embedded" : failure.reason;
        warnings += std::string(kProgram) + ": warning: picture " + render::fileNameForMessage(failure.file) +
                    " left out: " + reason + '\n';
        flushWarnings(1 << 16);
    }
    for (const render::PictureWarning& warning : outcome.pictureWarnings) {
        warnings += render::pictureWarningLine(kProgram, warning) + '\n';
        flushWarnings(1 << 16);
    }
    flushWarnings(1);
    if (!outcome.saved()) {
        errors << kProgram << ": " << render::fileNameForMessage(outcome.fileName) << " not written (error "
               << outcome.errorCode
               << "): " << render::saveFailureText(outcome) << '\n';
        return 1;
    }
    return 0;
}

int exportMain(int argc, char** argv, std::istream& standardInput, std::ostream& output, std::ostream& errors,
               pdf::FontSource* fontSource)
{
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    ParseResult parsed = parseExportOptions(arguments);
    if (!parsed.error.empty()) {
        errors << kProgram << ": " << parsed.error << " (see --help)\n";
        return 2;
    }
    if (parsed.options.help) {
        output << exportUsage(desktopOutputsNote());
        return 0;
    }
    if (parsed.options.check) return runCheck(parsed.options, standardInput, output, errors);
    if (int status = 0; wantsDesktopOutputs(parsed.options) && argc > 0 && handOverDesktopOutputs(argv, errors, status)) {
        return status;
    }
    return runExport(parsed.options, standardInput, errors, fontSource);
}

}  // namespace tabulon::exporter
