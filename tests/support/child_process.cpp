#include "child_process.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "pdf_check.h"

namespace tabulon::test {

namespace {

std::string captureFile(const char* what)
{
    static std::atomic<int> counter{0};
    return tempFolder() + "/child-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + "." + what;
}

// In the child, before exec: only async-signal-safe calls, and _exit on failure
// with a code the parent recognises.
constexpr int kSetupFailed = 127;

[[noreturn]] void startChild(const ChildOptions& options, const std::vector<char*>& argv,
                             const std::vector<char*>& envp, int out, int err)
{
    int in = ::open(options.standardInputFile.empty() ? "/dev/null" : options.standardInputFile.c_str(), O_RDONLY);
    if (in < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(kSetupFailed);
    if (!options.workingFolder.empty() && ::chdir(options.workingFolder.c_str()) != 0) ::_exit(kSetupFailed);
    if (options.fileSizeLimit >= 0) {
        ::signal(SIGXFSZ, SIG_IGN);  // ignored signals stay ignored across exec
        rlimit limit{static_cast<rlim_t>(options.fileSizeLimit), static_cast<rlim_t>(options.fileSizeLimit)};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(kSetupFailed);
    }
    if (options.withoutRootOverride) {
        for (int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
            if (::prctl(PR_CAPBSET_DROP, capability, 0, 0, 0) != 0) ::_exit(kSetupFailed);
        }
    }
    if (options.hangSeconds > 0) ::alarm(options.hangSeconds);  // a pending alarm survives exec
    // A program started from a terminal meets these signals with their default
    // action, whatever this process was started with (a background job ignores SIGINT).
    for (int stop : {SIGINT, SIGTERM, SIGHUP}) ::signal(stop, SIG_DFL);
    ::execvpe(argv[0], argv.data(), envp.data());
    ::_exit(kSetupFailed);
}

}  // namespace

bool runsAsRoot() { return ::geteuid() == 0; }

ChildResult runChild(const ChildOptions& options)
{
    ChildResult result;
    std::string outPath = captureFile("out"), errPath = captureFile("err");
    int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    std::vector<std::string> arguments = options.arguments;
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    // The options' entries replace inherited ones of the same name; a bare NAME removes it.
    const auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        bool replaced = false;
        for (const std::string& own : options.environment) replaced = replaced || nameOf(own) == nameOf(*entry);
        if (!replaced) environment.emplace_back(*entry);
    }
    for (const std::string& own : options.environment) {
        if (own.find('=') != std::string::npos) environment.push_back(own);
    }
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);

    pid_t child = out < 0 || err < 0 || arguments.empty() ? -1 : ::fork();
    if (child == 0) startChild(options, argv, envp, out, err);
    if (out >= 0) ::close(out);
    if (err >= 0) ::close(err);
    if (child > 0) {
        if (options.whileRunning) options.whileRunning(child);
        int status = 0;
        rusage usage{};
        pid_t done = -1;
        do {
            done = ::wait4(child, &status, 0, &usage);
        } while (done < 0 && errno == EINTR);
        if (done == child) {
            result.peakRssKb = usage.ru_maxrss;
            result.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                                static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
            if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
            if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
            result.started = !(WIFEXITED(status) && WEXITSTATUS(status) == kSetupFailed);
        }
    }
    result.output = readFile(outPath);
    result.errors = readFile(errPath);
    ::unlink(outPath.c_str());
    ::unlink(errPath.c_str());
    return result;
}

}  // namespace tabulon::test
