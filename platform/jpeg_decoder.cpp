// JPEG decoding from memory with libjpeg. libjpeg reports fatal errors through
// error_exit, which must not return; it jumps back to the decoder's entry, so no
// object with a destructor may be created between setjmp and the last libjpeg call.
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "decoded_image.h"

namespace tabulon::platform {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void onError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void onMessage(j_common_ptr) {}

// Converts one decoded row to RGBA. CMYK from Adobe files is stored inverted.
void storeRow(const JSAMPLE* row, int width, int components, bool inverted, std::uint8_t* out)
{
    for (int x = 0; x < width; ++x, out += 4) {
        const JSAMPLE* p = row + static_cast<std::ptrdiff_t>(x) * components;
        if (components == 4) {
            const int k = inverted ? p[3] : 255 - p[3];
            for (int c = 0; c < 3; ++c) {
                const int v = inverted ? p[c] : 255 - p[c];
                out[c] = static_cast<std::uint8_t>(v * k / 255);
            }
        } else {
            out[0] = p[0];
            out[1] = p[1];
            out[2] = p[2];
        }
        out[3] = 255;
    }
}

// Every MCU of a scan takes at least one bit and covers at most 32 x 32 pixels:
// data with fewer bits than that cannot hold the picture its header claims, and
// decoding it would fill a picture of that size with nothing.
bool dataCanHold(std::size_t bytes, std::size_t width, std::size_t height)
{
    return bytes * 8 >= ((width + 31) / 32) * ((height + 31) / 32);
}

}  // namespace

std::optional<DecodedImage> decodeJpeg(std::span<const std::uint8_t> data)
{
    if (data.empty()) {
        return std::nullopt;
    }
    DecodedImage image;
    std::vector<JSAMPLE> row;
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.output_message = onMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return std::nullopt;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    const std::size_t pixels = static_cast<std::size_t>(info.image_width) * info.image_height;
    if (pixels == 0 || pixels > kMaxImagePixels || !dataCanHold(data.size(), info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        return std::nullopt;
    }
    jpeg_start_decompress(&info);
    image.width = static_cast<int>(info.output_width);
    image.height = static_cast<int>(info.output_height);
    const int components = info.output_components;
    image.rgba.resize(static_cast<std::size_t>(image.width) * image.height * 4);
    row.resize(static_cast<std::size_t>(image.width) * components);
    const bool inverted = cmyk && info.saw_Adobe_marker;
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {row.data()};
        const auto y = info.output_scanline;
        jpeg_read_scanlines(&info, rows, 1);
        storeRow(row.data(), image.width, components, inverted,
                 image.rgba.data() + static_cast<std::size_t>(y) * image.width * 4);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return image;
}

}  // namespace tabulon::platform
