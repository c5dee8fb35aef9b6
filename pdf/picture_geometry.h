// What every picture parser reads from its header and the writer needs to embed
// the picture: its size in pixels, the bits per colour component and the PDF
// colour space.
#pragma once

#include <cstdint>
#include <string_view>

namespace tabulon::pdf {

struct PictureGeometry {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bitsPerComponent = 0;
    std::string_view colorSpace;  // DeviceGray, DeviceRGB, DeviceCMYK or Indexed
};

}  // namespace tabulon::pdf
