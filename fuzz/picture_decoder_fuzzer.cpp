// Feeds arbitrary bytes to the preview's picture decoders (libjpeg, libpng from
// memory). A decoder must give a picture or nothing, never crash or overrun.
#include <cstddef>
#include <cstdint>

#include "decoded_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    for (auto decoded : {tabulon::platform::decodeJpeg(bytes), tabulon::platform::decodePng(bytes)}) {
        if (decoded && decoded->rgba.size() != static_cast<std::size_t>(decoded->width) * decoded->height * 4) {
            __builtin_trap();
        }
    }
    return 0;
}
