#include <algorithm>

#include "byte_buffer.h"
#include "decoded_image.h"
#include "image_loader.h"
#include "system_files.h"

namespace tabulon::platform {

namespace {

bool startsWith(std::span<const std::uint8_t> data, std::span<const std::uint8_t> prefix)
{
    return data.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), data.begin());
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
    // The writer's reader and limit: a picture the PDF can embed, the preview reads.
    pdf::ByteBuffer bytes;
    if (pdf::readRegularFile(path, pdf::kMaxImageFileBytes, bytes) != pdf::FileRead::kRead) {
        return std::nullopt;
    }
    return decodeImage(std::span<const std::uint8_t>(bytes.data(), bytes.length()));
}

}  // namespace tabulon::platform
