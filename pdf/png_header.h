// The PNG reader: checks the header, keeps the palette and the compressed image data.
//
// The image data is never decompressed. The concatenated IDAT chunks are already a
// zlib stream of filtered rows, which a PDF reader decodes itself when the stream
// carries FlateDecode with the PNG predictor (/Predictor 15) and the row layout.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "byte_buffer.h"
#include "image_bytes.h"
#include "picture_geometry.h"

namespace tabulon::pdf {

// PNG's own limit for width, height and chunk length (2^31 - 1); larger means damage.
inline constexpr std::uint32_t kMaxPngDimension = 0x7FFFFFFF;
// Largest palette: 256 entries of 3 bytes.
inline constexpr std::size_t kMaxPngPaletteBytes = 256 * 3;
// Byte offsets fixed by the format: 8-byte signature, then the IHDR chunk (length,
// type, 13 data bytes, CRC), after which the chunk walk starts.
inline constexpr std::size_t kPngIhdrType = 12;
inline constexpr std::size_t kPngIhdrData = 16;
inline constexpr std::size_t kPngFirstChunk = 33;

// Colour space DeviceGray, DeviceRGB or Indexed.
struct PngImage : PictureGeometry {
    std::string decodeParms;      // the complete /DecodeParms dictionary line
    ByteBuffer palette;           // PLTE bytes (Indexed only)
    ByteBuffer data;              // the IDAT chunks' bytes, concatenated
};

struct PngResult {
    std::int32_t error = 0;     // 0 or an ErrorCode (1 to 6, 12, 18)
    std::string_view message;   // the precise reason, for diagnostics
};

// Reads a whole PNG file. On success `image` holds everything the image object
// needs; on failure its buffers are released.
PngResult parsePng(Bytes data, PngImage& image);

}  // namespace tabulon::pdf
