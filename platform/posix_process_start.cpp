// POSIX: a double fork, so the started program is adopted by init and leaves no
// zombie behind; a close-on-exec pipe tells the caller whether exec succeeded.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "process_start.h"

namespace tabulon::platform {

namespace {

[[noreturn]] void execChild(const std::string& program, char* const* argv, int reportFd)
{
    setsid();
    if (fork() != 0) {
        _exit(0);  // the middle process ends at once; the grandchild runs on
    }
    const int devNull = open("/dev/null", O_RDWR);
    if (devNull >= 0) {
        dup2(devNull, STDIN_FILENO);
    }
    execvp(program.c_str(), argv);
    const char failed = 1;
    (void)!write(reportFd, &failed, 1);
    _exit(127);
}

}  // namespace

bool startDetached(const std::string& program, const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        return false;
    }
    const pid_t child = fork();
    if (child < 0) {
        close(report[0]);
        close(report[1]);
        return false;
    }
    if (child == 0) {
        close(report[0]);
        execChild(program, argv.data(), report[1]);
    }
    close(report[1]);
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes without a byte when exec succeeded.
    char failed = 0;
    ssize_t got;
    while ((got = read(report[0], &failed, 1)) < 0 && errno == EINTR) {
    }
    close(report[0]);
    return got == 0;
}

std::string ownFolder()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return ".";
    }
    std::string folder(path, static_cast<std::size_t>(length));
    const auto slash = folder.rfind('/');
    return slash == std::string::npos ? "." : folder.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace tabulon::platform
