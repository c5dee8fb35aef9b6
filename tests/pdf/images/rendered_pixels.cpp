#include "rendered_pixels.h"

#include <png.h>

#include <cstdio>
#include <memory>

#include "pdf_check.h"

namespace tabulon::test {

bool decodePng(const std::string& path, RgbPixels& pixels)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    bool ok = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
        png_init_io(png, file);
        png_read_info(png, info);
        const png_byte type = png_get_color_type(png, info);
        if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
        if (type == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8) png_set_expand_gray_1_2_4_to_8(png);
        if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
        if (png_get_bit_depth(png, info) == 16) png_set_strip_16(png);
        png_set_strip_alpha(png);
        png_read_update_info(png, info);
        pixels.width = static_cast<int>(png_get_image_width(png, info));
        pixels.height = static_cast<int>(png_get_image_height(png, info));
        const std::size_t rowBytes = png_get_rowbytes(png, info);
        if (rowBytes == static_cast<std::size_t>(pixels.width) * 3) {
            pixels.rgb.assign(rowBytes * static_cast<std::size_t>(pixels.height), 0);
            std::vector<png_bytep> rows(static_cast<std::size_t>(pixels.height));
            for (int y = 0; y < pixels.height; ++y) rows[y] = &pixels.rgb[rowBytes * static_cast<std::size_t>(y)];
            png_read_image(png, rows.data());
            ok = true;
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return ok;
}

bool renderPage(const std::string& pdfPath, int dpi, RgbPixels& pixels, std::string* messages)
{
    const std::string base = pdfPath + "-page";
    const std::string errors = pdfPath + "-pdftoppm.txt";
    CommandResult run = runCommand("pdftoppm -r " + std::to_string(dpi) + " -png -singlefile '" + pdfPath + "' '" +
                                   base + "' 2>'" + errors + "'");
    if (messages != nullptr) *messages = readFile(errors);
    if (run.status != 0) return false;
    return decodePng(base + ".png", pixels);
}

}  // namespace tabulon::test
