#include "export_command.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "ansi_text.h"
#include "demo_job.h"
#include "desktop_outputs.h"
#include "job_intake.h"
#include "job_renderer.h"
#include "null_outputs.h"
#include "pdf_export.h"

namespace tabulon::exporter {

namespace {

constexpr const char* kProgram = "tabulon-export";

bool readAll(std::istream& in, std::string& text)
{
    // Whole blocks, not one character at a time through an iterator.
    text.clear();
    char block[1 << 16];
    while (in.read(block, sizeof block) || in.gcount() > 0) {
        text.append(block, static_cast<std::size_t>(in.gcount()));
    }
    return !in.bad();
}

// The job as 8-bit Windows-1252 text, or false with a message.
bool jobText(const ExportOptions& options, std::istream& standardInput, std::string& text, std::string& error)
{
    if (options.source == JobSource::Demo) {
        text = shell::utf8ToWindows1252(demo::buildDemoJob());
        return true;
    }
    std::string raw;
    if (options.source == JobSource::File) {
        std::ifstream file(options.inputFile, std::ios::binary);
        if (!file || !readAll(file, raw)) {
            error = options.inputFile + ": " + std::strerror(errno);
            return false;
        }
    } else if (!readAll(standardInput, raw)) {
        error = "standard input could not be read";
        return false;
    }
    text = options.encoding == InputEncoding::Utf8 ? shell::utf8ToWindows1252(raw) : std::move(raw);
    return true;
}

}  // namespace

int runExport(const ExportOptions& options, std::istream& standardInput, std::ostream& errors,
              pdf::FontSource* fontSource)
{
    std::string text;
    std::string error;
    if (!jobText(options, standardInput, text, error)) {
        errors << kProgram << ": " << error << '\n';
        return 1;
    }
    render::JobState job = shell::intakeJob(text);
    // The job lines are copies; the raw text is not read again, so give it back
    // before the pages are built.
    std::string().swap(text);
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
    render::PdfExport pdfExport(writer, pdfOptions);
    render::RenderOutputs pdf;
    pdf.pdfExport = &pdfExport;
    renderer.renderJob(job, render::RenderTarget::Pdf, pdf);

    const render::PdfExportOutcome& outcome = pdfExport.outcome();
    for (const render::PictureFailure& failure : outcome.pictureFailures) {
        std::string reason = failure.reason.empty() ? "it could not be embedded" : failure.reason;
        errors << kProgram << ": warning: picture " << render::fileNameForMessage(failure.file)
               << " left out: " << reason << '\n';
    }
    if (!outcome.saved()) {
        errors << kProgram << ": " << render::fileNameForMessage(outcome.fileName) << " not written (error "
               << outcome.errorCode
               << "): " << outcome.errorText << '\n';
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
        output << exportUsage();
        return 0;
    }
    return runExport(parsed.options, standardInput, errors, fontSource);
}

}  // namespace tabulon::exporter
