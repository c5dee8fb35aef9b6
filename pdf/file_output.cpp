#include "file_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
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

// Starts the disk writing of `length` bytes at `offset`, without waiting: the
// device then writes a large file while the rest is still being handed over, and
// the flush at the end has little left to wait for.
void startWriteback(int fd, std::size_t offset, std::size_t length)
{
#if defined(__linux__)
    ::sync_file_range(fd, static_cast<off_t>(offset), static_cast<off_t>(length), SYNC_FILE_RANGE_WRITE);
#else
    (void)fd, (void)offset, (void)length;
#endif
}

// Writes the pieces in order, many at a time; a short write goes on where it
// stopped. With `writeback`, the disk writing of each batch starts at once.
bool writeAll(int fd, const std::vector<std::string_view>& pieces, bool writeback)
{
    constexpr std::size_t kBatch = 512;
    std::vector<iovec> batch;
    std::size_t offset = 0;
    std::size_t next = 0;
    std::size_t done = 0;  // bytes of pieces[next] already written
    while (true) {
        while (next < pieces.size() && done == pieces[next].size()) {
            ++next;
            done = 0;
        }
        if (next == pieces.size()) return true;
        batch.clear();
        for (std::size_t i = next; i < pieces.size() && batch.size() < kBatch; ++i) {
            std::string_view piece = i == next ? pieces[i].substr(done) : pieces[i];
            if (!piece.empty()) batch.push_back({const_cast<char*>(piece.data()), piece.size()});
        }
        ssize_t written = ::writev(fd, batch.data(), static_cast<int>(batch.size()));
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (written == 0) return false;
        if (writeback) startWriteback(fd, offset, static_cast<std::size_t>(written));
        offset += static_cast<std::size_t>(written);
        for (auto left = static_cast<std::size_t>(written); left > 0;) {
            std::size_t step = std::min(left, pieces[next].size() - done);
            done += step;
            left -= step;
            if (done == pieces[next].size()) {
                ++next;
                done = 0;
            }
        }
    }
}

}  // namespace

namespace {

// Writes into an existing file that is not a regular one (a device or a pipe):
// there is no earlier content to keep, and it must not be replaced by a file.
bool writeInPlace(const std::string& path, const std::vector<std::string_view>& pieces)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = writeAll(fd, pieces, false);
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

bool writeFileWhole(const std::string& path, std::string_view bytes)
{
    return writeFileWhole(path, std::vector<std::string_view>{bytes});
}

bool writeFileWhole(const std::string& requested, const std::vector<std::string_view>& pieces)
{
    struct stat existing {};
    if (::stat(requested.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) return false;
        if (!S_ISREG(existing.st_mode)) return writeInPlace(requested, pieces);
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
    bool ok = writeAll(fd, pieces, true) && ::fchmod(fd, modeForTarget(path)) == 0 && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(pattern.data(), path.c_str()) == 0;
    if (!ok) ::unlink(pattern.data());
    return ok;
}

}  // namespace tabulon::pdf
