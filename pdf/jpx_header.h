// The JPEG 2000 codestream header: picture size and component count from the SIZ
// segment that follows the start-of-codestream marker. The codestream is embedded
// unchanged as a JPXDecode stream and never decoded.
#pragma once

#include <cstdint>
#include <string_view>

#include "image_bytes.h"
#include "picture_geometry.h"

namespace tabulon::pdf {

// The format allows at most 16384 components; anything above means damage.
inline constexpr std::uint32_t kMaxJpxComponents = 16384;
// Width and height are kept as int32.
inline constexpr std::uint32_t kMaxJpxDimension = 0x7FFFFFFF;

// Width Xsiz - XOsiz and height Ysiz - YOsiz (the image area of the reference
// grid); colour space DeviceGray for one or two components, else DeviceRGB; 8 bits
// per component, which the decoder delivers whatever the codestream holds.
struct JpxHeader : PictureGeometry {
    std::int32_t components = 0;
};

struct JpxResult {
    std::int32_t error = 0;  // 0, or kImageRead for a cut-off or damaged SIZ segment
    JpxHeader header;
    std::string_view message;
};

// Reads the SIZ segment of a raw codestream (FF 4F FF 51 ...).
JpxResult parseJpx(Bytes data);

}  // namespace tabulon::pdf
