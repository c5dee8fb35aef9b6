// POSIX: the owner is a grandchild of the producer, in its own session, with
// standard input and output on /dev/null so that it holds none of the
// producer's pipes open. No threads exist before the fork: the Qt application
// is created only in the owner.
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "clipboard_owner.h"

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

}  // namespace

bool handTextToClipboardOwner(const std::string& utf8Text, int timeoutMs)
{
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) {
        return false;
    }
    const pid_t child = fork();
    if (child < 0) {
        close(ready[0]);
        close(ready[1]);
        return false;
    }
    if (child == 0) {
        close(ready[0]);
        becomeOwner(utf8Text, ready[1]);
    }
    close(ready[1]);
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    pollfd wait{ready[0], POLLIN, 0};
    char byte = 0;
    bool owned = false;
    if (poll(&wait, 1, timeoutMs) > 0) {
        owned = read(ready[0], &byte, 1) == 1;
    }
    close(ready[0]);
    return owned;
}

}  // namespace tabulon::platform
