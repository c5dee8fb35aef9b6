// A decoded picture: 8-bit RGBA rows, top row first, no padding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tabulon::platform {

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// Pictures larger than this are refused rather than decoded: a corrupt or hostile
// header must not make the program allocate gigabytes.
inline constexpr std::size_t kMaxImagePixels = 64u * 1024u * 1024u;

std::optional<DecodedImage> decodeJpeg(std::span<const std::uint8_t> data);
std::optional<DecodedImage> decodePng(std::span<const std::uint8_t> data);

// Decodes JPEG or PNG data, chosen by the data's signature.
std::optional<DecodedImage> decodeImage(std::span<const std::uint8_t> data);

// Reads and decodes a picture file; nothing when it cannot be read or decoded.
std::optional<DecodedImage> loadImageFile(const char* path);

}  // namespace tabulon::platform
