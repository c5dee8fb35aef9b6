// Runs a program as a child process the way a user or a script would, with the
// limits the failure tests need, and reports its exit, its output and its peak
// memory.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tabulon::test {

struct ChildOptions {
    std::vector<std::string> arguments;  // arguments[0] is the program, looked up in PATH without a "/"
    std::string standardInputFile;       // opened as standard input; "" means /dev/null
    std::string workingFolder;           // "" keeps the current one
    // RLIMIT_FSIZE in bytes for the child (-1: unchanged). SIGXFSZ is ignored in
    // the child, so a write past the limit fails with EFBIG instead of killing it.
    long long fileSizeLimit = -1;
    // For root only: drop the capabilities that let root write into any folder
    // (CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER) before the program starts,
    // so that a folder without write permission refuses it as it would a user.
    bool withoutRootOverride = false;
    // "NAME=value" entries for the child's environment, replacing inherited ones
    // of that name; a bare "NAME" removes the inherited one.
    std::vector<std::string> environment;
    // A child still running after this many seconds is ended by SIGALRM (0: no
    // limit), so that a hang fails the test instead of stopping it.
    unsigned hangSeconds = 0;
    // Called in this process with the child's id once it was started, before
    // waiting for it: to watch it or to send it a signal.
    std::function<void(int)> whileRunning;
};

struct ChildResult {
    bool started = false;
    int exitStatus = -1;  // when it exited
    int signal = 0;       // when a signal ended it
    std::string output;   // standard output
    std::string errors;   // standard error
    long peakRssKb = 0;   // ru_maxrss of the child, from wait4
    double cpuSeconds = 0;  // user and system time of the child, from wait4
};

ChildResult runChild(const ChildOptions& options);

// True when this process may drop root's overrides (it is root and holds CAP_SETPCAP).
bool runsAsRoot();

}  // namespace tabulon::test
