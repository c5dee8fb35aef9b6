// Checks shared by the picture harnesses: what the loader hands the writer
// for any bytes, the way the writer calls it (the file's bytes already in the
// record), and that a failure releases the record's buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "image_loader.h"

namespace tabulon::fuzz {

inline bool isDeviceSpace(std::string_view space)
{
    return space == "DeviceGray" || space == "DeviceRGB" || space == "DeviceCMYK";
}

inline void checkLoader(const std::uint8_t* data, std::size_t size)
{
    pdf::ImageRecord record;
    record.name = "picture";
    require(record.data.append(data, size), "no memory for the input copy");
    std::string message;
    const std::int32_t error =
        pdf::loadImageData(pdf::Bytes(record.data.data(), record.data.length()), record, &message);
    require(record.name == "picture", "loading changed the picture's name");
    if (error != 0) {
        require(!record.data.allocated() && !record.palette.allocated(), "a failed load kept its buffers");
        require(!message.empty(), "a failed load without a reason");
        return;
    }
    require(!record.data.empty(), "a loaded picture with nothing to embed");
    if (record.filter == "WMF") {
        require(record.width != 0 && record.height != 0, "a loaded metafile without a size");
        return;
    }
    require(record.width > 0 && record.height > 0, "a loaded picture without a size");
    require(record.filter == "DCTDecode" || record.filter == "FlateDecode" || record.filter == "JPXDecode",
            "a loaded picture with an unknown filter");
    require(record.data.length() <= size, "the bytes to embed outgrew the file");
    require(isDeviceSpace(record.colorSpace) || record.colorSpace == "Indexed", "an unknown colour space");
    require((record.colorSpace == "Indexed") == !record.palette.empty(), "a palette without Indexed, or the reverse");
    require(record.palette.length() % 3 == 0 && record.palette.length() <= 768, "a palette of a bad size");
    require(record.bitsPerComponent > 0 && record.bitsPerComponent <= 16, "bits per component outside 1..16");
}

}  // namespace tabulon::fuzz
