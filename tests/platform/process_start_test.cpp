#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <functional>
#include <thread>

#include "detached_run.h"
#include "pdf_check.h"
#include "process_start.h"

namespace tabulon::platform {
namespace {

// Writes an executable shell script into the test's folder.
std::string writeScript(const std::string& name, const std::string& body)
{
    const std::string path = test::tempFolder() + "/" + name;
    {
        std::ofstream script(path);
        script << "#!/bin/sh\n" << body;
    }
    ::chmod(path.c_str(), 0755);
    return path;
}

// What a started program wrote to `path`, waited for up to 5 s. The programs
// write a part file and rename it, so the file is complete once it is there.
std::string awaitFile(const std::string& path)
{
    std::string content;
    for (int i = 0; i < 100 && content.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        content = test::readFile(path);
    }
    return content;
}

bool exists(const std::string& path)
{
    return ::access(path.c_str(), F_OK) == 0;
}

// Runs `caller` in a child process that stands for a program which starts
// something and ends. Its standard input is a file, not the /dev/null a test
// may run with; its standard output and error go to the given files when they
// are named. Returns its exit status, or -1 when it did not exit.
int runAsCaller(const std::function<int()>& caller, const std::string& output = {}, const std::string& errors = {})
{
    const std::string input = test::writeTempFile("caller-input", "input\n");
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(::open(input.c_str(), O_RDONLY), STDIN_FILENO);
        if (!output.empty()) {
            ::dup2(::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
        }
        if (!errors.empty()) {
            ::dup2(::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
        }
        ::_exit(caller());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Records its arguments: their count, then one a line.
const char* const kRecordArguments = "record=\"$1\"; shift\nprintf '%s\\n' \"$#\" \"$@\" > \"$record.part\"\n"
                                     "mv \"$record.part\" \"$record\"\n";

TEST(ProcessStart, ArgumentsArriveAsGiven)
{
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        std::string recorded;
    };
    const Case cases[] = {
        {"a file name with blanks", {"My doc  two.pdf"}, "1\nMy doc  two.pdf\n"},
        {"no arguments", {}, "0\n"},
        {"empty, quoted and shell words", {"", " lead", "it's \"x\"", "$HOME;*"}, "4\n\n lead\nit's \"x\"\n$HOME;*\n"},
    };
    const std::string program = writeScript("record-arguments", kRecordArguments);
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string record = test::tempFolder() + "/arguments-" + std::to_string(index++) + ".txt";
        std::vector<std::string> arguments{record};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        ASSERT_EQ(startDetached(program, arguments), 0);
        EXPECT_EQ(awaitFile(record), c.recorded);
    }
}

TEST(ProcessStart, UnstartableProgramReportsTheSystemsReason)
{
    const std::string folder = test::tempFolder();
    const std::string notExecutable = test::writeTempFile("not-executable", "#!/bin/sh\n");
    ::chmod(notExecutable.c_str(), 0644);
    struct Case {
        const char* name;
        std::string program;
        int error;
    };
    const Case cases[] = {
        {"a name PATH does not find", "tabulon-no-such-viewer", ENOENT},
        {"a path to nothing", folder + "/no-such-folder/viewer", ENOENT},
        {"a file without execute permission", notExecutable, EACCES},
        {"a folder", folder, EACCES},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(startDetached(c.program, {"x.pdf"}), c.error);
    }
}

// A system that will not make another process: the fork of the middle process
// or the middle process's fork of the worker fails, and startDetached says so
// instead of reporting a start. The caller becomes a user of its own, which no
// other process runs as, with a process limit of one or two.
TEST(ProcessStart, ForkRefusedAtEitherStepReportsTheSystemsReason)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to become a user with a process limit";
    const struct {
        const char* name;
        rlim_t processes;
    } cases[] = {{"no middle process", 1}, {"no worker", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int status = runAsCaller([&c] {
            constexpr uid_t kUnusedUser = 54321;
            const rlimit limit{c.processes, c.processes};
            if (::setgid(kUnusedUser) != 0 || ::setuid(kUnusedUser) != 0 || ::setrlimit(RLIMIT_NPROC, &limit) != 0) {
                return 100;
            }
            return startDetached("/bin/true", {});
        });
        EXPECT_EQ(status, EAGAIN);
    }
}

TEST(ProcessStart, StartedProgramOutlivesItsCallerAndLeavesNoZombie)
{
    // The program waits for a go file, then records its session.
    const std::string program = writeScript("wait-for-go",
                                            "i=0\n"
                                            "while [ ! -e \"$1\" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i+1)); done\n"
                                            "[ -e \"$1\" ] || exit 1\n"
                                            "read -r pid name state parent group session rest < /proc/$$/stat\n"
                                            "printf '%s\\n' \"$session\" > \"$2.part\"; mv \"$2.part\" \"$2\"\n");
    const std::string go = test::tempFolder() + "/go";
    const std::string record = test::tempFolder() + "/session.txt";

    // The caller returns from the start while the program still waits, has no
    // child left (the middle process was reaped, the program is not its child),
    // and ends.
    const int caller = runAsCaller([&] {
        if (startDetached(program, {go, record}) != 0) return 10;
        if (::waitpid(-1, nullptr, WNOHANG) != -1 || errno != ECHILD) return 11;
        if (exists(record)) return 12;
        return 0;
    });
    ASSERT_EQ(caller, 0);

    std::ofstream{go};
    // The program runs on after its caller ended, in a session of its own.
    const std::string session = awaitFile(record);
    ASSERT_FALSE(session.empty());
    EXPECT_NE(session, std::to_string(::getsid(0)) + "\n");
}

TEST(ProcessStart, StandardInputReadsNothingAndOutputIsKeptOrDiscarded)
{
    // The program writes a line on each output stream, then records what its
    // standard input is.
    const std::string program = writeScript("streams",
                                            "echo to-output\n"
                                            "echo to-errors >&2\n"
                                            "readlink /proc/$$/fd/0 > \"$1.part\"; mv \"$1.part\" \"$1\"\n");
    struct Case {
        const char* name;
        std::function<int(const std::string& record)> start;
        std::string output;
        std::string errors;
    };
    const Case cases[] = {
        {"a started program writes to its caller's output",
         [&](const std::string& record) { return startDetached(program, {record}); }, "to-output\n", "to-errors\n"},
        {"a body with discarded output holds none of the caller's streams",
         [&](const std::string& record) {
             const DetachedRun run = runDetached(
                 [&](ReportLine& line) {
                     ::execl(program.c_str(), program.c_str(), record.c_str(), static_cast<char*>(nullptr));
                     line.failed(errno);
                     return 127;
                 },
                 DetachedOutput::Discarded, -1);
             return run.outcome == DetachedRun::Outcome::Closed ? 0 : 1;
         },
         "", ""},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string stem = test::tempFolder() + "/streams-" + std::to_string(index++);
        ASSERT_EQ(runAsCaller([&] { return c.start(stem + ".stdin"); }, stem + ".out", stem + ".err"), 0);
        EXPECT_EQ(awaitFile(stem + ".stdin"), "/dev/null\n");
        EXPECT_EQ(test::readFile(stem + ".out"), c.output);
        EXPECT_EQ(test::readFile(stem + ".err"), c.errors);
    }
}

TEST(ProcessStart, BodysReportReachesTheStarter)
{
    using Outcome = DetachedRun::Outcome;
    struct Case {
        const char* name;
        DetachedBody body;
        int timeoutMs;
        Outcome outcome;
        int error;
        long value;
    };
    const Case cases[] = {
        {"ready, with a value", [](ReportLine& line) { return line.ready(4242) ? 0 : 1; }, 5000, Outcome::Ready, 0,
         4242},
        {"failed, with the reason",
         [](ReportLine& line) {
             line.failed(EPERM);
             return 1;
         },
         5000, Outcome::Failed, EPERM, 0},
        {"ended without a word", [](ReportLine&) { return 0; }, 5000, Outcome::Closed, 0, 0},
        {"ended without a word, without a limit", [](ReportLine&) { return 0; }, -1, Outcome::Closed, 0, 0},
        {"no word within the time",
         [](ReportLine&) {
             ::sleep(5);
             return 0;
         },
         100, Outcome::NoAnswer, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto started = std::chrono::steady_clock::now();
        const DetachedRun run = runDetached(c.body, DetachedOutput::Discarded, c.timeoutMs);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(4));
        EXPECT_EQ(run.outcome, c.outcome);
        EXPECT_EQ(run.error, c.error);
        EXPECT_EQ(run.value, c.value);
    }
}

TEST(ProcessStart, CallerWithoutStandardStreamsHearsTheReport)
{
    // The report line then lies where the body's standard streams go.
    const int caller = runAsCaller([] {
        ::close(STDIN_FILENO);
        ::close(STDOUT_FILENO);
        ::close(STDERR_FILENO);
        const DetachedRun run =
            runDetached([](ReportLine& line) { return line.ready(7) ? 0 : 1; }, DetachedOutput::Discarded, 5000);
        return run.outcome == DetachedRun::Outcome::Ready && run.value == 7 ? 0 : 1;
    });
    EXPECT_EQ(caller, 0);
}

}  // namespace
}  // namespace tabulon::platform
