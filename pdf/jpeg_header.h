// The JPEG frame header: size, sample precision and colour space of a JFIF file,
// found by walking its markers, and whether the file's data goes on to its
// end-of-image marker. The picture itself is never decoded; the whole file is
// embedded as a DCTDecode stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "image_bytes.h"
#include "picture_geometry.h"

namespace tabulon::pdf {

// Largest width or height accepted from a frame header. The field holds 16 bits,
// so this only rules out the 0 that means "size given later by a DNL marker".
inline constexpr std::uint32_t kMaxJpegDimension = 65535;

// Colour space DeviceGray, DeviceRGB or DeviceCMYK; 8 or 12 bits per component.
using JpegHeader = PictureGeometry;

struct JpegResult {
    std::int32_t error = 0;  // 0, or kJpegUnsupported (no usable frame header)
    JpegHeader header;
    std::string_view message;  // what was wrong, for diagnostics
    // The data ends before its end-of-image marker (a file cut short): it is still
    // embedded, but readers show the missing part of the picture grey.
    bool endsEarly = false;
    // The bytes that make up the picture, through its end-of-image marker (all of
    // them when it ends early); what follows is not embedded.
    std::size_t length = 0;
};

// Walks the markers of `data` (the whole file, starting with SOI) until the first
// baseline, extended sequential or progressive frame header. Every read is checked
// against the data's end and every step advances the cursor, so truncated or damaged
// files end the walk instead of reading past the end or looping. For a frame header
// it accepts, it walks on to the end-of-image marker to set endsEarly and length,
// in time linear in the data's size.
JpegResult parseJpeg(Bytes data);

}  // namespace tabulon::pdf
