// The JPEG marker walk on arbitrary bytes: a frame header it accepts has a real
// size and a known colour space, whether the file ends early depends only on its
// bytes up to the end-of-image marker, and the loader's contract holds.
#include <vector>

#include "harnesses.h"
#include "image_checks.h"
#include "jpeg_header.h"

namespace tabulon::fuzz::jpeg {

namespace {

// Bytes after the end-of-image marker change nothing, and zero bytes after a cut
// do not mend it: the longer file is accepted alike and ends early alike.
void checkEnding(const std::uint8_t* data, std::size_t size, bool endsEarly)
{
    std::vector<std::uint8_t> longer(data, data + size);
    if (endsEarly) {
        longer.resize(size + 64, 0);
    } else {
        longer.insert(longer.end(), data, data + size);
    }
    const pdf::JpegResult again = pdf::parseJpeg(longer);
    require(again.error == 0, "a JPEG refused once bytes were added at its end");
    require(again.endsEarly == endsEarly,
            endsEarly ? "zero padding mended a cut JPEG" : "bytes after the end-of-image marker cut a JPEG");
}

}  // namespace

int fuzzOne(const std::uint8_t* data, std::size_t size)
{
    const pdf::JpegResult result = pdf::parseJpeg(pdf::Bytes(data, size));
    if (result.error == 0) {
        const pdf::JpegHeader& h = result.header;
        require(h.width > 0 && h.height > 0 && h.width <= 65535 && h.height <= 65535, "a JPEG size outside 1..65535");
        require(isDeviceSpace(h.colorSpace), "a JPEG colour space that is not a device space");
        checkEnding(data, size, result.endsEarly);
    } else {
        require(!result.message.empty(), "a JPEG failure without a reason");
        require(!result.endsEarly, "a refused JPEG marked as cut");
    }
    checkLoader(data, size);
    return 0;
}

}  // namespace tabulon::fuzz::jpeg
