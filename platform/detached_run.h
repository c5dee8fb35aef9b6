// Detached processes that run a piece of this program and tell their starter how
// far they got: the building block of startDetached and the clipboard owner where
// a process can be forked (POSIX systems only).
#pragma once

#include <functional>

namespace tabulon::platform {

// The detached process's line back to its starter. It carries one report;
// after it the line is closed. It also closes, without a report, when the
// process ends or runs another program.
class ReportLine {
public:
    explicit ReportLine(int descriptor) : descriptor_(descriptor) {}

    // The process has got where its starter waits for it; `value` goes with
    // the word (the clipboard owner sends its process number). When the starter
    // no longer listens, the process ends on the broken pipe, or, where that
    // signal is ignored, this returns false so that it can give up.
    bool ready(long value);

    // The process cannot do its work, for the system's error number `error`.
    void failed(int error);

private:
    bool send(int kind, int error, long value);

    int descriptor_;
};

// What the starter learnt.
struct DetachedRun {
    enum class Outcome {
        Ready,     // the process said ready; `value` is what it sent
        Failed,    // the process could not be started, or its body said it failed; `error` says why
        Closed,    // the line closed without a word: the body ran another program, or ended early
        NoAnswer,  // no word and no close within the time allowed; the process may still run
    };
    Outcome outcome = Outcome::Closed;
    int error = 0;
    long value = 0;
};

// What becomes of the caller's standard output and error in the detached
// process. Its standard input reads nothing either way.
enum class DetachedOutput {
    Kept,       // the caller's, so the process's messages reach the caller's terminal
    Discarded,  // nothing: the process holds none of the caller's pipes open
};

// The body of a detached process: what it does, with its line back to the
// starter. Its return value is the process's exit status.
using DetachedBody = std::function<int(ReportLine& line)>;

// Runs `body` in a detached process (a grandchild of the caller, in a session
// of its own) and waits up to `timeoutMs` (negative: without a limit) for its
// report or for its line to close. The body runs in a copy of the caller made
// by fork: where the caller has threads, it may only use what is safe after a
// fork (system calls, exec), and it owns no threads until it starts them.
DetachedRun runDetached(const DetachedBody& body, DetachedOutput output, int timeoutMs);

}  // namespace tabulon::platform
