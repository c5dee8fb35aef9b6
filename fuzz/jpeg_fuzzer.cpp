// The JPEG marker walk on arbitrary bytes: a frame header it accepts has a real
// size and a known colour space, and the loader's contract holds.
#include "harnesses.h"
#include "image_checks.h"
#include "jpeg_header.h"

namespace tabulon::fuzz::jpeg {

int fuzzOne(const std::uint8_t* data, std::size_t size)
{
    const pdf::JpegResult result = pdf::parseJpeg(pdf::Bytes(data, size));
    if (result.error == 0) {
        const pdf::JpegHeader& h = result.header;
        require(h.width > 0 && h.height > 0 && h.width <= 65535 && h.height <= 65535, "a JPEG size outside 1..65535");
        require(isDeviceSpace(h.colorSpace), "a JPEG colour space that is not a device space");
    } else {
        require(!result.message.empty(), "a JPEG failure without a reason");
    }
    checkLoader(data, size);
    return 0;
}

}  // namespace tabulon::fuzz::jpeg
