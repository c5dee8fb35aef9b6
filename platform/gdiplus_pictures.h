// JPEG and PNG pictures decoded by GDI+ from memory: the canvas's pictures and
// the buttons'. Only those two kinds are taken, as on the Linux desktop, and with
// the same limits; GDI+ must be running (GdiplusSession).
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tabulon::platform {

// A decoded picture as 32-bit pixels of premultiplied blue, green, red and alpha
// bytes (GDI+'s 32bppPARGB, the layout of a 32-bit GDI bitmap), top row first,
// rows without padding.
struct GdiplusPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgra;
};

// Sizes `bgra` for `width` x `height` pixels, all zero (transparent); false when
// there is no memory for them.
bool allocatePixels(GdiplusPixels& pixels);

// Decodes JPEG or PNG data, told apart by its signature. A picture of more than
// kMaxImagePixels pixels, or whose data is too short to hold the size its header
// claims, is refused from its header, before anything is decoded.
std::optional<GdiplusPixels> decodePicture(std::span<const std::uint8_t> data);

// A JPEG or PNG picture in memory decoded by GDI+ into a 32-bit top-down bitmap; null when it cannot be.
// The bitmap is a DIB section of premultiplied pixels, as AlphaBlend takes them;
// the caller deletes it with DeleteObject.
HBITMAP decodePictureToBitmap(std::span<const std::uint8_t> data);

}  // namespace tabulon::platform
