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

}  // namespace

std::optional<DecodedImage> decodePng(std::span<const std::uint8_t> data)
{
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
