#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "decoded_image.h"

namespace tabulon::platform {

namespace {

// Picture files above this size are not read.
constexpr long kMaxImageFileBytes = 256L * 1024L * 1024L;

bool startsWith(std::span<const std::uint8_t> data, std::span<const std::uint8_t> prefix)
{
    return data.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), data.begin());
}

// Opens a picture for reading only when it is a regular file: a job may name a
// pipe, a terminal or a device, whose read would wait for ever or never end.
std::FILE* openRegularFile(const char* path)
{
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat status {};
    std::FILE* file = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) ? ::fdopen(fd, "rb") : nullptr;
    if (file == nullptr) ::close(fd);
    return file;
}

}  // namespace

std::optional<DecodedImage> decodeImage(std::span<const std::uint8_t> data)
{
    static constexpr std::uint8_t jpeg[] = {0xFF, 0xD8, 0xFF};
    static constexpr std::uint8_t png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (startsWith(data, jpeg)) {
        return decodeJpeg(data);
    }
    if (startsWith(data, png)) {
        return decodePng(data);
    }
    return std::nullopt;
}

std::optional<DecodedImage> loadImageFile(const char* path)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openRegularFile(path), std::fclose);
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) {
        return std::nullopt;
    }
    const long size = std::ftell(file.get());
    if (size <= 0 || size > kMaxImageFileBytes || std::fseek(file.get(), 0, SEEK_SET) != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        return std::nullopt;
    }
    return decodeImage(bytes);
}

}  // namespace tabulon::platform
