// PNG decoding from memory with libpng's simplified interface, always to RGBA.
#include <png.h>

#include "decoded_image.h"

namespace tabulon::platform {

namespace {

// A zlib stream gives at most 1032 bytes for each byte it takes, and a PNG row
// has a filter byte and at least one bit per pixel: data shorter than those rows
// over 1032 cannot hold the picture its header claims.
bool dataCanHold(std::size_t bytes, std::size_t width, std::size_t height)
{
    return bytes * 1032 >= height * (1 + (width + 7) / 8);
}

// libpng allocates a whole ancillary chunk before it reads it, so a chunk whose
// length claims more than the data holds would cost that much memory for
// nothing (the fuzzer found 108 bytes with a chunk claiming 1.9 GB). Such data is
// cut or damaged; it is refused before libpng sees it. The walk stops at IEND or
// where the data ends.
bool chunksFitTheData(std::span<const std::uint8_t> data)
{
    constexpr std::size_t kSignature = 8;
    constexpr std::size_t kLengthAndType = 8;
    constexpr std::size_t kCrc = 4;
    for (std::size_t at = kSignature; at + kLengthAndType <= data.size();) {
        const std::uint32_t length = (std::uint32_t{data[at]} << 24) | (std::uint32_t{data[at + 1]} << 16) |
                                     (std::uint32_t{data[at + 2]} << 8) | data[at + 3];
        const std::size_t left = data.size() - at - kLengthAndType;
        if (length > left) return false;
        if (data[at + 4] == 'I' && data[at + 5] == 'E' && data[at + 6] == 'N' && data[at + 7] == 'D') break;
        at += kLengthAndType + length + kCrc;
    }
    return true;
}

}  // namespace

std::optional<DecodedImage> decodePng(std::span<const std::uint8_t> data)
{
    if (!chunksFitTheData(data)) {
        return std::nullopt;
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data.data(), data.size())) {
        return std::nullopt;
    }
    const std::size_t pixels = static_cast<std::size_t>(png.width) * png.height;
    if (pixels == 0 || pixels > kMaxImagePixels || !dataCanHold(data.size(), png.width, png.height)) {
        png_image_free(&png);
        return std::nullopt;
    }
    png.format = PNG_FORMAT_RGBA;
    DecodedImage image;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.rgba.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr)) {
        png_image_free(&png);
        return std::nullopt;
    }
    return image;
}

}  // namespace tabulon::platform
