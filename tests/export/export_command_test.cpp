#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "export_command.h"
#include "export_options.h"
#include "pdf_check.h"

namespace tabulon::exporter {
namespace {

TEST(ExportOptions, ParsesEveryOptionAndRejectsWhatItDoesNotKnow)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string error;
        JobSource source;
        std::string input, output;
        InputEncoding encoding;
        bool compress;
    };
    const Case cases[] = {
        {{}, "", JobSource::StandardInput, "", "", InputEncoding::Utf8, false},
        {{"-"}, "", JobSource::StandardInput, "", "", InputEncoding::Utf8, false},
        {{"job.txt", "-o", "out.pdf", "--compress"}, "", JobSource::File, "job.txt", "out.pdf", InputEncoding::Utf8,
         true},
        {{"--encoding", "cp1252", "job.txt"}, "", JobSource::File, "job.txt", "", InputEncoding::Windows1252, false},
        {{"--demo", "-o", "-dash.pdf"}, "", JobSource::Demo, "", "-dash.pdf", InputEncoding::Utf8, false},
        {{"--demo", "job.txt"}, "--demo takes no job file", JobSource::Demo, "", "", InputEncoding::Utf8, false},
        {{"a", "b"}, "more than one job file given", JobSource::File, "", "", InputEncoding::Utf8, false},
        {{"-o"}, "-o needs FILE", JobSource::StandardInput, "", "", InputEncoding::Utf8, false},
        {{"--encoding", "latin9"}, "unknown encoding \"latin9\" (use utf-8 or cp1252)", JobSource::StandardInput, "",
         "", InputEncoding::Utf8, false},
        {{"--pdf"}, "unknown option --pdf", JobSource::StandardInput, "", "", InputEncoding::Utf8, false},
    };
    for (const Case& c : cases) {
        ParseResult parsed = parseExportOptions(c.arguments);
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        EXPECT_EQ(parsed.error, c.error);
        if (!c.error.empty()) continue;
        EXPECT_EQ(parsed.options.source, c.source);
        EXPECT_EQ(parsed.options.inputFile, c.input);
        EXPECT_EQ(parsed.options.outputFile, c.output);
        EXPECT_EQ(parsed.options.encoding, c.encoding);
        EXPECT_EQ(parsed.options.compress, c.compress);
    }
}

TEST(ExportOptions, HelpNamesEveryOption)
{
    std::string usage = exportUsage();
    for (const char* option : {"--demo", "-o FILE", "--encoding NAME", "--compress", "--help", "cp1252"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
}

struct ExportRun {
    int status = 0;
    std::string errors;
    std::string pdf;
};

ExportRun runWith(std::vector<std::string> arguments, const std::string& input = "")
{
    static int counter = 0;
    std::string path = test::tempFolder() + "/export-" + std::to_string(++counter) + ".pdf";
    arguments.push_back("-o");
    arguments.push_back(path);
    std::vector<char*> argv = {const_cast<char*>("tabulon-export")};
    for (std::string& argument : arguments) argv.push_back(argument.data());
    std::istringstream in(input);
    std::ostringstream out, err;
    ExportRun run;
    run.status = exportMain(static_cast<int>(argv.size()), argv.data(), in, out, err, nullptr);
    run.errors = err.str();
    run.pdf = test::readFile(path);
    return run;
}

TEST(ExportCommand, ConvertsUtf8InputAndTakesCp1252AsItIs)
{
    const std::string job = "Doc,P/*\rtxt,A,N,12,10,10,K/*Ljung\xC3\xA5 \xE6\x97\xA5\r";
    ExportRun utf8 = runWith({}, job);
    ASSERT_EQ(utf8.status, 0) << utf8.errors;
    EXPECT_NE(utf8.pdf.find("(Ljung\xE5 ?) Tj"), std::string::npos);

    ExportRun raw = runWith({"--encoding", "cp1252"}, "Doc,P/*\rtxt,A,N,12,10,10,K/*Ljung\xE5\x80\r");
    ASSERT_EQ(raw.status, 0) << raw.errors;
    EXPECT_NE(raw.pdf.find("(Ljung\xE5\x80) Tj"), std::string::npos);
}

TEST(ExportCommand, DemoGivesFourPagesWithEveryRow)
{
    ExportRun run = runWith({"--demo"});
    ASSERT_EQ(run.status, 0);
    std::string path = test::writeTempFile("demo-export.pdf", run.pdf);
    EXPECT_TRUE(test::qpdfAccepts(path));
    EXPECT_EQ(test::pdfinfoPages(path), 4);
}

TEST(ExportCommand, FailedSaveIsOneLineWithTheWritersCodeAndTextAndExitOne)
{
    std::vector<char*> argv = {const_cast<char*>("tabulon-export"), const_cast<char*>("--demo"),
                               const_cast<char*>("-o"), const_cast<char*>("/no-such-folder/x.pdf")};
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(exportMain(4, argv.data(), in, out, err, nullptr), 1);
    std::string text = err.str();
    std::string last = text.substr(text.rfind('\n', text.size() - 2) + 1);
    EXPECT_EQ(last, "tabulon-export: /no-such-folder/x.pdf not written (error 16): Error creating file.\n");
}

TEST(ExportCommand, UnreadableJobAndUnknownOptionFail)
{
    ExportRun missing = runWith({test::tempFolder() + "/no-such-job.txt"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.errors.find("no-such-job.txt: No such file or directory"), std::string::npos);

    std::vector<char*> argv = {const_cast<char*>("tabulon-export"), const_cast<char*>("--bogus")};
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(exportMain(2, argv.data(), in, out, err, nullptr), 2);
    EXPECT_EQ(err.str(), "tabulon-export: unknown option --bogus (see --help)\n");
}

TEST(ExportCommand, MissingPictureIsAWarningAndThePdfIsWritten)
{
    ExportRun run = runWith({}, "Doc,P/*\rimg,1,1,10,10,nowhere.jpg/*\rtxt,A,N,12,10,10,K/*still here\r");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors.rfind("tabulon-export: warning: picture nowhere.jpg left out: ", 0), 0u) << run.errors;
    EXPECT_NE(run.pdf.find("(still here) Tj"), std::string::npos);
}

// A JPEG cut short is embedded whole, and the real program says once per file
// that it may show damaged; a sound picture beside it gets no word.
TEST(ExportCommand, PictureCutShortIsEmbeddedWithOneWarning)
{
    const std::string logo = test::readFile(TABULON_LOGO);
    ASSERT_GT(logo.size(), 1000u);
    const std::string cutBytes = logo.substr(0, logo.size() * 2 / 3);  // inside its scan
    const std::string cut = test::writeTempFile("cut-logo.jpg", cutBytes);
    const std::string job = "Doc,P/*\rimg,10,10,50,15," + cut + "/*\rimg,10,40,50,15," + std::string(TABULON_LOGO) +
                            "/*\reop/*\rimg,10,10,50,15," + cut + "/*\r";
    const std::string pdf = test::tempFolder() + "/cut-logo.pdf", errors = test::tempFolder() + "/cut-logo.err";
    test::CommandResult run = test::runCommand("'" + std::string(TABULON_EXPORT_PROGRAM) + "' '" +
                                               test::writeTempFile("cut-logo.txt", job) + "' -o '" + pdf + "' 2>'" +
                                               errors + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(test::readFile(errors), "tabulon-export: warning: picture " + cut + " may be damaged: its data ends early\n");
    // qpdf decodes every stream it checks, so the cut picture's data is the one
    // thing it may warn about (exit status 3); the file around it must be sound.
    test::CommandResult check = test::runCommand("qpdf --check '" + pdf + "' 2>&1");
    EXPECT_TRUE(check.status == 0 || check.status == 3) << check.output;
    for (const std::string& line : test::splitLines(check.output)) {
        if (line.find("WARNING") == std::string::npos && line.find("ERROR") == std::string::npos) continue;
        EXPECT_TRUE(line.find("invalid jpeg data") != std::string::npos ||
                    line.find("re-processed without filtering") != std::string::npos)
            << line;
    }
    const std::string written = test::readFile(pdf);
    EXPECT_EQ(test::checkXref(written), "");
    EXPECT_NE(written.find("stream\n" + cutBytes + "\nendstream"), std::string::npos);
    EXPECT_NE(written.find("stream\n" + logo + "\nendstream"), std::string::npos);
}

// Page pictures are drawn by the companion program in ../libexec/tabulon/ of
// tabulon-export's folder; a tabulon-export on its own says so and fails,
// leaving nothing half made.
TEST(ExportCommand, PagePicturesComeFromTheCompanionOrFailWithAMessage)
{
    const std::string program = TABULON_EXPORT_PROGRAM;
    const std::string folder = test::tempFolder();
    const std::string companion = program.substr(0, program.rfind('/') + 1) + "../libexec/tabulon/tabulon-export-desktop";
    if (std::ifstream(companion).good()) {
        std::string pages = folder + "/companion-pages";
        test::CommandResult run = test::runCommand("QT_QPA_PLATFORM=offscreen '" + program + "' --demo --png '" + pages +
                                                   "' 2>&1");
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_TRUE(std::ifstream(pages + "/page-4.png").good());
    }
    std::string lone = folder + "/lone";
    ASSERT_EQ(test::runCommand("mkdir -p '" + lone + "' && cp '" + program + "' '" + lone + "/'").status, 0);
    test::CommandResult alone =
        test::runCommand("'" + lone + "/tabulon-export' --demo --png '" + lone + "/pages' 2>&1");
    EXPECT_EQ(alone.status, 1);
    EXPECT_NE(alone.output.find("--png"), std::string::npos) << alone.output;
    EXPECT_FALSE(std::ifstream(lone + "/pages/page-1.png").good());
}

}  // namespace
}  // namespace tabulon::exporter
