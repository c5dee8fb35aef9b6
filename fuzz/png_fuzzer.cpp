// The PNG chunk walk on arbitrary bytes: an accepted file keeps no more data
// than it holds, a palette only with Indexed, and a failure releases everything.
#include "harnesses.h"
#include "image_checks.h"
#include "png_header.h"

namespace tabulon::fuzz::png {

int fuzzOne(const std::uint8_t* data, std::size_t size)
{
    pdf::PngImage image;
    const pdf::PngResult result = pdf::parsePng(pdf::Bytes(data, size), image);
    if (result.error == 0) {
        require(image.width > 0 && image.height > 0, "a PNG without a size");
        require(!image.data.empty() && image.data.length() <= size, "PNG image data empty or larger than the file");
        require((image.colorSpace == "Indexed") == !image.palette.empty(), "a PNG palette without Indexed");
        require(image.palette.length() <= pdf::kMaxPngPaletteBytes, "a PNG palette over 256 entries");
        require(!image.decodeParms.empty(), "a PNG without decode parameters");
    } else {
        require(!image.data.allocated() && !image.palette.allocated(), "a failed PNG kept its buffers");
    }
    checkLoader(data, size);
    return 0;
}

}  // namespace tabulon::fuzz::png
