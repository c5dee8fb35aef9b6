// tabulon-export --check as a producer's author runs it: the findings on
// standard output in the compilers' form, the exit status, and no file written.
#include <gtest/gtest.h>

#include <filesystem>

#include "child_process.h"
#include "pdf_check.h"

namespace tabulon::test {
namespace {

ChildResult check(const std::string& folder, std::vector<std::string> arguments, const std::string& input = "")
{
    ChildOptions options;
    options.arguments = {TABULON_EXPORT_PROGRAM, "--check"};
    options.arguments.insert(options.arguments.end(), arguments.begin(), arguments.end());
    options.workingFolder = folder;
    options.standardInputFile = input;
    options.hangSeconds = 60;
    return runChild(options);
}

TEST(CheckCommand, PrintsFindingsPerLineAndExitsByTheWorstOfThem)
{
    const std::string folder = tempFolder() + "/check-run";
    std::filesystem::create_directories(folder);
    const std::string warned = writeTempFile("check-run/warned.txt",
                                             "Doc,P/*\rtxt,A,B,12,10,20,K/*a\rline,1,2,3,4,Q,5/*\rtxt,A,B,12,10.5,30/*b\r");
    const std::vector<std::string> findings = {
        ":3: warning: colour letter 'Q' is not a colour (K, R, B, Y); the line keeps the previous line colour\n",
        ":3: warning: no line colour letter before this line: it is invisible on the preview and the printer; write "
        "K, R, B or Y in field 6\n",
        ":4: warning: x (field 5) '10.5' reads as 10 on the preview and the printer but as 10.5 in the PDF, so they "
        "draw it at different places; write a whole number\n",
    };
    const auto listed = [&](const std::string& name) {
        std::string text;
        for (const std::string& finding : findings) text += name + finding;
        return text;
    };

    ChildResult file = check(folder, {"warned.txt"});
    EXPECT_EQ(file.exitStatus, 1);
    EXPECT_EQ(file.output, listed("warned.txt"));
    EXPECT_EQ(file.errors, "");

    ChildResult input = check(folder, {"--encoding", "cp1252"}, warned);
    EXPECT_EQ(input.exitStatus, 1);
    EXPECT_EQ(input.output, listed("<stdin>"));

    // Notes alone leave the status at 0.
    const std::string noted = writeTempFile("noted.txt", "Doc,P/*\rtxt,A,B,12,10,20,K/*a\rDoc,P/*\r");
    ChildResult clean = check(folder, {"-"}, noted);
    EXPECT_EQ(clean.exitStatus, 0) << clean.errors;
    EXPECT_EQ(clean.output, "<stdin>:3: note: the header line again: skipped as no command\n");

    // A job that cannot be read, and a command line that asks for a file as well.
    ChildResult missing = check(folder, {"no-such-job.txt"});
    EXPECT_EQ(missing.exitStatus, 2);
    EXPECT_EQ(missing.output, "");
    EXPECT_NE(missing.errors.find("no-such-job.txt"), std::string::npos) << missing.errors;
    ChildResult both = check(folder, {"-o", "out.pdf", "warned.txt"});
    EXPECT_EQ(both.exitStatus, 2);
    EXPECT_NE(both.errors.find("--check"), std::string::npos) << both.errors;

    // Checking writes nothing: the folder holds the job alone.
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) files += entry.is_regular_file();
    EXPECT_EQ(files, 1u);
}

}  // namespace
}  // namespace tabulon::test
