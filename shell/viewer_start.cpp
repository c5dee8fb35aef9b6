#include "viewer_start.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace tabulon::shell {

namespace {

void closeQuietly(int fd)
{
    while (::close(fd) != 0 && errno == EINTR) {
    }
}

}  // namespace

bool startViewer(const std::string& program, const std::string& fileName)
{
    // The viewer runs as a grandchild: the child that starts it ends at once and
    // is reaped here, so no zombie is left behind and the viewer is adopted by
    // init. A close-on-exec pipe carries the exec failure back; end of file with
    // nothing on it means the viewer started.
    int status[2];
    if (::pipe2(status, O_CLOEXEC) != 0) return false;
    char* const argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(fileName.c_str()), nullptr};

    pid_t child = ::fork();
    if (child < 0) {
        closeQuietly(status[0]);
        closeQuietly(status[1]);
        return false;
    }
    if (child == 0) {
        ::setsid();
        pid_t viewer = ::fork();
        if (viewer == 0) {
            ::execvp(program.c_str(), argv);
            int error = errno;
            [[maybe_unused]] ssize_t written = ::write(status[1], &error, sizeof error);
            ::_exit(127);
        }
        if (viewer < 0) {
            int error = errno;
            [[maybe_unused]] ssize_t written = ::write(status[1], &error, sizeof error);
        }
        ::_exit(0);
    }

    closeQuietly(status[1]);
    int childStatus = 0;
    while (::waitpid(child, &childStatus, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got = 0;
    do {
        got = ::read(status[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    closeQuietly(status[0]);
    return got == 0;
}

}  // namespace tabulon::shell
