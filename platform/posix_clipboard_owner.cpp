// POSIX: the owner is a grandchild of the producer, in its own session, with
// standard input and output on /dev/null so that it holds none of the
// producer's pipes open. No threads exist before the fork: the Qt application
// is created only in the owner.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "clipboard_owner.h"
#include "qt_display.h"

namespace tabulon::platform {

namespace {

[[noreturn]] void becomeOwner(const std::string& text, int readyFd)
{
    setsid();
    if (fork() != 0) {
        _exit(0);
    }
    const int devNull = open("/dev/null", O_RDWR);
    if (devNull >= 0) {
        dup2(devNull, STDIN_FILENO);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
    }
    _exit(serveClipboard(text, readyFd));
}

// Waits up to `timeoutMs` for the owner's process number. The pipe closes
// without one when the owner ended before it held the clipboard.
ClipboardHandOver awaitOwner(int readyFd, int timeoutMs)
{
    ClipboardHandOver result;
    pollfd wait{readyFd, POLLIN, 0};
    int ready;
    while ((ready = poll(&wait, 1, timeoutMs)) < 0 && errno == EINTR) {
    }
    if (ready == 0) {
        result.problem = "the clipboard owner gave no answer within " + std::to_string(timeoutMs / 1000) + " s";
        return result;
    }
    pid_t owner = 0;
    ssize_t got;
    while ((got = read(readyFd, &owner, sizeof owner)) < 0 && errno == EINTR) {
    }
    if (got != static_cast<ssize_t>(sizeof owner) || owner <= 0) {
        result.problem = "the display could not be opened or the clipboard not taken";
        return result;
    }
    result.held = true;
    result.owner = owner;
    return result;
}

}  // namespace

ClipboardHandOver handTextToClipboardOwner(const std::string& utf8Text, int timeoutMs)
{
    ClipboardHandOver result;
    result.problem = missingDisplay();
    if (!result.problem.empty()) {
        return result;
    }
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) {
        result.problem = "no pipe to the clipboard owner";
        return result;
    }
    const pid_t child = fork();
    if (child < 0) {
        close(ready[0]);
        close(ready[1]);
        result.problem = "the clipboard owner could not be started";
        return result;
    }
    if (child == 0) {
        close(ready[0]);
        becomeOwner(utf8Text, ready[1]);
    }
    close(ready[1]);
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    result = awaitOwner(ready[0], timeoutMs);
    close(ready[0]);
    return result;
}

void withdrawClipboardText(const ClipboardHandOver& handOver)
{
    if (handOver.held && handOver.owner > 0) {
        kill(static_cast<pid_t>(handOver.owner), SIGTERM);
    }
}

}  // namespace tabulon::platform
