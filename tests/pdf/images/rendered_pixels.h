// Pixels of PNG files (decoded by libpng) and of PDF pages (rendered by pdftoppm),
// as 8-bit RGB, for comparing what a reader shows with the picture that went in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tabulon::test {

struct RgbPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // row by row, 3 bytes per pixel
    const std::uint8_t* at(int x, int y) const { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
};

// Decodes a PNG with libpng: palette and grey expanded to RGB, low depths scaled to
// 8 bits, no gamma applied, transparency ignored, CRC errors tolerated (a PDF reader
// never sees the CRCs). False when libpng cannot read it.
bool decodePng(const std::string& path, RgbPixels& pixels);

// Renders page 1 of a PDF with pdftoppm at `dpi` and decodes it. `messages` gets
// what pdftoppm wrote on stderr.
bool renderPage(const std::string& pdfPath, int dpi, RgbPixels& pixels, std::string* messages = nullptr);

}  // namespace tabulon::test
