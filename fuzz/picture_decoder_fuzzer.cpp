// Feeds arbitrary bytes to the preview's picture decoders (libjpeg, libpng from
// memory). A decoder must give a whole picture within the size limit or nothing,
// never crash or overrun.
//
// Nearly every mutation of a PNG breaks a chunk's CRC, and libpng stops at the
// first bad CRC of a critical chunk, so the fuzzer would rarely get past the
// header. Data that starts like a PNG is therefore also decoded a second time
// with every chunk's CRC made right, which lets the mutations reach the
// decompression, the row filters and the colour conversions.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "decoded_image.h"

namespace {

using tabulon::platform::DecodedImage;

void check(const std::optional<DecodedImage>& decoded)
{
    if (!decoded) return;
    const std::size_t pixels = static_cast<std::size_t>(decoded->width) * decoded->height;
    if (decoded->width <= 0 || decoded->height <= 0 || pixels > tabulon::platform::kMaxImagePixels ||
        decoded->rgba.size() != pixels * 4) {
        __builtin_trap();
    }
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

// A copy of PNG data with the CRC of every whole chunk recomputed; nothing when
// the data does not start with the PNG signature.
std::optional<std::vector<std::uint8_t>> withRightCrcs(const std::uint8_t* data, std::size_t size)
{
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size < 8 || !std::equal(kSignature, kSignature + 8, data)) return std::nullopt;
    std::vector<std::uint8_t> fixed(data, data + size);
    for (std::size_t at = 8; at + 12 <= size;) {
        const std::size_t length = (std::size_t{fixed[at]} << 24) | (std::size_t{fixed[at + 1]} << 16) |
                                   (std::size_t{fixed[at + 2]} << 8) | fixed[at + 3];
        if (length > size - at - 12) break;
        const std::uint32_t crc = crc32(&fixed[at + 4], length + 4);
        std::uint8_t* out = &fixed[at + 8 + length];
        out[0] = static_cast<std::uint8_t>(crc >> 24);
        out[1] = static_cast<std::uint8_t>(crc >> 16);
        out[2] = static_cast<std::uint8_t>(crc >> 8);
        out[3] = static_cast<std::uint8_t>(crc);
        at += 12 + length;
    }
    return fixed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    check(tabulon::platform::decodeJpeg(bytes));
    check(tabulon::platform::decodePng(bytes));
    if (const auto fixed = withRightCrcs(data, size)) {
        check(tabulon::platform::decodePng(*fixed));
    }
    return 0;
}
