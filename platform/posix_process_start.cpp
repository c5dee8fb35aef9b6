// POSIX: a double fork, so the started program is adopted by init and leaves no
// zombie behind; a close-on-exec pipe tells the caller whether exec succeeded,
// and if not, why.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "process_start.h"

namespace tabulon::platform {

namespace {

[[noreturn]] void reportFailure(int reportFd)
{
    const int error = errno;
    (void)!write(reportFd, &error, sizeof error);
    _exit(127);
}

[[noreturn]] void execChild(const std::string& program, char* const* argv, int reportFd)
{
    setsid();
    const pid_t grandchild = fork();
    if (grandchild < 0) {
        reportFailure(reportFd);
    }
    if (grandchild > 0) {
        _exit(0);  // the middle process ends at once; the grandchild runs on
    }
    const int devNull = open("/dev/null", O_RDWR);
    if (devNull >= 0) {
        dup2(devNull, STDIN_FILENO);
    }
    execvp(program.c_str(), argv);
    reportFailure(reportFd);
}

}  // namespace

int startDetached(const std::string& program, const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        return errno;
    }
    const pid_t child = fork();
    if (child < 0) {
        const int error = errno;
        close(report[0]);
        close(report[1]);
        return error;
    }
    if (child == 0) {
        close(report[0]);
        execChild(program, argv.data(), report[1]);
    }
    close(report[1]);
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes without a word when exec succeeded.
    int error = 0;
    ssize_t got;
    while ((got = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    close(report[0]);
    return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

}  // namespace tabulon::platform
