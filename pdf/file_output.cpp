#include "file_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace tabulon::pdf {

bool isValidFileName(std::string_view path)
{
    std::size_t slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (name.empty()) return false;
    for (unsigned char c : name) {
        if (c < 32) return false;
        switch (c) {
        case '"': case '\\': case '/': case ':': case '*': case '?': case '<': case '>': case '|':
            return false;
        default:
            break;
        }
    }
    return true;
}

namespace {

// The mode a newly created file gets: that of the file it replaces, otherwise
// 0666 less the umask.
mode_t modeForTarget(const std::string& path)
{
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        return existing.st_mode & 07777;
    }
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool writeAll(int fd, std::string_view bytes)
{
    const char* next = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t written = ::write(fd, next, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (written == 0) return false;
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

namespace {

// Writes into an existing file that is not a regular one (a device or a pipe):
// there is no earlier content to keep, and it must not be replaced by a file.
bool writeInPlace(const std::string& path, std::string_view bytes)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = writeAll(fd, bytes);
    return ::close(fd) == 0 && ok;
}

// The file a path names, with links resolved, so that the new file replaces the
// link's target and the link stays.
std::string resolveLinks(const std::string& path)
{
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path;
    std::string real = resolved;
    std::free(resolved);
    return real;
}

}  // namespace

bool writeFileWhole(const std::string& requested, std::string_view bytes)
{
    struct stat existing {};
    if (::stat(requested.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) return false;
        if (!S_ISREG(existing.st_mode)) return writeInPlace(requested, bytes);
    }
    std::string path = resolveLinks(requested);
    std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temporary = folder + "." + name + ".XXXXXX";
    std::vector<char> pattern(temporary.begin(), temporary.end());
    pattern.push_back('\0');

    int fd = ::mkstemp(pattern.data());
    if (fd < 0) return false;
    bool ok = writeAll(fd, bytes) && ::fchmod(fd, modeForTarget(path)) == 0 && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(pattern.data(), path.c_str()) == 0;
    if (!ok) ::unlink(pattern.data());
    return ok;
}

}  // namespace tabulon::pdf
