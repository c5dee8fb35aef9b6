// The JPEG 2000 SIZ reader on arbitrary bytes: an accepted codestream has a
// positive size and 1 to 16384 components.
#include "harnesses.h"
#include "image_checks.h"
#include "jpx_header.h"

namespace tabulon::fuzz::jpx {

int fuzzOne(const std::uint8_t* data, std::size_t size)
{
    const pdf::JpxResult result = pdf::parseJpx(pdf::Bytes(data, size));
    if (result.error == 0) {
        const pdf::JpxHeader& h = result.header;
        require(h.width > 0 && h.height > 0, "a JPEG 2000 picture without a size");
        require(h.components >= 1 && h.components <= 16384, "JPEG 2000 components outside 1..16384");
        require(h.colorSpace == "DeviceGray" || h.colorSpace == "DeviceRGB", "a JPEG 2000 colour space");
    }
    checkLoader(data, size);
    return 0;
}

}  // namespace tabulon::fuzz::jpx
