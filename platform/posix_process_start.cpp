// POSIX: a double fork. The middle process starts a session of its own, forks
// the process that does the work and ends at once; the caller reaps it, so no
// zombie is left behind, and the worker is adopted by init and outlives the
// caller. A close-on-exec pipe carries one fixed-size report from the worker
// (or from the middle process, when it could not fork) back to the caller; it
// closes without a report when the worker runs another program or ends.
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "detached_run.h"
#include "process_start.h"

namespace tabulon::platform {

namespace {

enum ReportKind : int { kReady = 1, kFailed = 2 };

// One report, written in one piece: far below the size a pipe writes whole.
struct Report {
    int kind = 0;
    int error = 0;
    long value = 0;
};

DetachedRun failedRun(int error)
{
    DetachedRun run;
    run.outcome = DetachedRun::Outcome::Failed;
    run.error = error;
    return run;
}

// A caller started with its standard streams closed gets the report pipe on
// descriptors 0 to 2, where the worker's own standard streams go; the line is
// moved above them first.
int aboveStandardStreams(int descriptor)
{
    if (descriptor > STDERR_FILENO) {
        return descriptor;
    }
    const int moved = fcntl(descriptor, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    if (moved < 0) {
        return descriptor;
    }
    close(descriptor);
    return moved;
}

// Standard input on /dev/null, and standard output and error too when they are
// discarded. Without /dev/null the streams stay as they are.
void redirectStandardStreams(DetachedOutput output)
{
    const int devNull = open("/dev/null", O_RDWR);
    if (devNull < 0) {
        return;
    }
    dup2(devNull, STDIN_FILENO);
    if (output == DetachedOutput::Discarded) {
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
    }
    if (devNull > STDERR_FILENO) {
        close(devNull);
    }
}

// The middle process: only calls that are safe after a fork of a process with
// threads, up to the body.
[[noreturn]] void runMiddle(const DetachedBody& body, DetachedOutput output, int lineDescriptor)
{
    setsid();
    ReportLine line(aboveStandardStreams(lineDescriptor));
    const pid_t worker = fork();
    if (worker < 0) {
        line.failed(errno);
        _exit(127);
    }
    if (worker > 0) {
        _exit(0);
    }
    redirectStandardStreams(output);
    _exit(body(line));
}

// Waits until the line can be read, at most `timeoutMs` (negative: no limit).
// Returns 1 when it can, 0 when the time ran out, or minus the error number.
int awaitReadable(int descriptor, int timeoutMs)
{
    if (timeoutMs < 0) {
        return 1;  // the read blocks until the report or the close
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd wait{descriptor, POLLIN, 0};
        const int ready = poll(&wait, 1, left > 0 ? static_cast<int>(left) : 0);
        if (ready >= 0) {
            return ready > 0 ? 1 : 0;
        }
        if (errno != EINTR) {
            return -errno;
        }
    }
}

DetachedRun readReport(int descriptor, int timeoutMs)
{
    const int readable = awaitReadable(descriptor, timeoutMs);
    if (readable < 0) {
        return failedRun(-readable);
    }
    DetachedRun run;
    if (readable == 0) {
        run.outcome = DetachedRun::Outcome::NoAnswer;
        return run;
    }
    Report report;
    auto* bytes = reinterpret_cast<char*>(&report);
    size_t have = 0;
    while (have < sizeof report) {
        const ssize_t got = read(descriptor, bytes + have, sizeof report - have);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        have += static_cast<size_t>(got);
    }
    if (have == sizeof report && report.kind == kReady) {
        run.outcome = DetachedRun::Outcome::Ready;
        run.value = report.value;
    } else if (have == sizeof report && report.kind == kFailed) {
        run = failedRun(report.error);
    } else {
        run.outcome = DetachedRun::Outcome::Closed;
    }
    return run;
}

}  // namespace

bool ReportLine::send(int kind, int error, long value)
{
    if (descriptor_ < 0) {
        return false;  // the one report was sent
    }
    const Report report{kind, error, value};
    ssize_t written;
    while ((written = write(descriptor_, &report, sizeof report)) < 0 && errno == EINTR) {
    }
    close(descriptor_);
    descriptor_ = -1;
    return written == static_cast<ssize_t>(sizeof report);
}

bool ReportLine::ready(long value)
{
    return send(kReady, 0, value);
}

void ReportLine::failed(int error)
{
    send(kFailed, error, 0);
}

DetachedRun runDetached(const DetachedBody& body, DetachedOutput output, int timeoutMs)
{
    int line[2];
    if (pipe2(line, O_CLOEXEC) != 0) {
        return failedRun(errno);
    }
    const pid_t middle = fork();
    if (middle < 0) {
        const int error = errno;
        close(line[0]);
        close(line[1]);
        return failedRun(error);
    }
    if (middle == 0) {
        close(line[0]);
        runMiddle(body, output, line[1]);
    }
    close(line[1]);
    while (waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
    }
    const DetachedRun run = readReport(line[0], timeoutMs);
    close(line[0]);
    return run;
}

int startDetached(const std::string& program, const std::vector<std::string>& arguments)
{
    // Built before the fork: the body only calls exec.
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    const DetachedRun run = runDetached(
        [&](ReportLine& line) {
            execvp(argv[0], argv.data());
            line.failed(errno);
            return 127;
        },
        DetachedOutput::Kept, -1);
    // The line closes without a word once exec succeeded.
    return run.outcome == DetachedRun::Outcome::Failed ? run.error : 0;
}

}  // namespace tabulon::platform
