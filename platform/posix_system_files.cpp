// The writer's files on POSIX systems: reading a picture file whole, and writing
// the finished document through a temporary file that replaces the target only
// when it is complete and on disk.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <utility>
#include <vector>

#include "posix_temporary_file.h"
#include "system_files.h"

namespace tabulon::pdf {

namespace {

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Reads until `count` bytes are in or the file ends; the number of bytes read.
std::size_t readFully(int fd, std::uint8_t* into, std::size_t count)
{
    std::size_t got = 0;
    while (got < count) {
        const ssize_t step = ::read(fd, into + got, count - got);
        if (step < 0 && errno == EINTR) continue;
        if (step <= 0) break;
        got += static_cast<std::size_t>(step);
    }
    return got;
}

}  // namespace

std::optional<FileIdentity> regularFileIdentity(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

FileRead readRegularFile(const std::string& path, std::size_t maxBytes, ByteBuffer& into, FileIdentity* identity)
{
    into.release();
    // Without O_NONBLOCK, opening a FIFO would wait for a writer.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) return FileRead::kCannotOpen;
    struct stat status {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0) {
        return FileRead::kCannotOpen;
    }
    const auto size = static_cast<std::size_t>(status.st_size);
    if (size > maxBytes) return FileRead::kTooBig;
    if (!into.ensureCapacity(size == 0 ? 1 : size)) return FileRead::kNoMemory;
    const std::size_t got = readFully(file.get(), into.data(), size);
    if (got != size) {
        into.release();
        return FileRead::kShortRead;
    }
    into.setLength(got);
    if (identity) *identity = {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
    return FileRead::kRead;
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

// Writes into an existing file that is not a regular one (a device or a pipe):
// there is no earlier content to keep, and it must not be replaced by a file.
bool writeInPlace(const std::string& path, const std::vector<std::string_view>& pieces)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = writeAll(fd, pieces, false);
    return ::close(fd) == 0 && ok;
}

// The folder part of a path: "" or ending in "/".
std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

enum class LinkWalk { kReached, kForeignLink, kFailed };

// Follows `requested` through its links to the name the file is written under,
// so that the new file replaces the link's target, or creates it when it does
// not exist yet, and the link stays. In a folder that anyone may write to and
// that has the sticky bit (like /tmp), a link is followed only when it belongs
// to the user who writes or to the folder's owner: another user's link there
// could otherwise turn the write onto any file the writer may change.
LinkWalk followLinks(const std::string& requested, std::string& path)
{
    constexpr int kMostLinks = 40;  // more means a loop
    path = requested;
    for (int links = 0; links <= kMostLinks; ++links) {
        struct stat link {};
        if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return LinkWalk::kReached;
        const std::string folder = folderOf(path);
        struct stat holder {};
        if (::stat(folder.empty() ? "." : folder.c_str(), &holder) != 0) return LinkWalk::kFailed;
        const bool shared = (holder.st_mode & S_ISVTX) != 0 && (holder.st_mode & S_IWOTH) != 0;
        if (shared && link.st_uid != ::geteuid() && link.st_uid != holder.st_uid) return LinkWalk::kForeignLink;
        std::vector<char> target(PATH_MAX);
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return LinkWalk::kFailed;
        const std::string to(target.data(), static_cast<std::size_t>(length));
        std::string next = to.front() == '/' ? to : folder + to;
        // A link in /proc to a pipe or a socket names no path; the system
        // follows it when the file is opened.
        struct stat reached {};
        if (::lstat(next.c_str(), &reached) != 0 && ::stat(path.c_str(), &reached) == 0) return LinkWalk::kReached;
        path = std::move(next);
    }
    return LinkWalk::kFailed;
}

}  // namespace

FileWrite writeFileWhole(const std::string& requested, const std::vector<std::string_view>& pieces)
{
    std::string path;
    switch (followLinks(requested, path)) {
    case LinkWalk::kForeignLink: return FileWrite::kForeignLink;
    case LinkWalk::kFailed: return FileWrite::kFailed;
    case LinkWalk::kReached: break;
    }
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) return FileWrite::kFailed;
        if (!S_ISREG(existing.st_mode)) return writeInPlace(path, pieces) ? FileWrite::kWritten : FileWrite::kFailed;
    }
    TemporaryFile temporary(folderOf(path));
    if (!temporary.created()) return FileWrite::kFailed;
    const int fd = temporary.descriptor();
    const bool written = writeAll(fd, pieces, true) && ::fchmod(fd, modeForTarget(path)) == 0 && ::fsync(fd) == 0;
    return written && temporary.moveTo(path) ? FileWrite::kWritten : FileWrite::kFailed;
}

}  // namespace tabulon::pdf
