// The record behind the writer's picture list: one ImageRecord per picture file
// placed in the document, read once and placed any number of times.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "byte_buffer.h"
#include "system_files.h"

namespace tabulon::pdf {

struct ImageRecord {
    ByteBuffer palette;  // PNG palette, 3 bytes per entry
    ByteBuffer data;     // the bytes to embed
    std::int32_t objectNumber = 0;
    std::int32_t number = 0;  // resource name "/I" + number, forms "/FO" + number
    std::int32_t bitsPerComponent = 0;
    std::int32_t originX = 0;
    std::int32_t originY = 0;
    std::int32_t width = 0;   // pixels; forms: metafile units
    std::int32_t height = 0;
    std::string name;
    // The file read, so that another path naming it reuses this record.
    std::optional<FileIdentity> identity;
    std::string colorSpace;  // DeviceGray, DeviceRGB, DeviceCMYK or Indexed
    std::string decodeParms;
    std::string filter;  // DCTDecode, FlateDecode, JPXDecode or WMF
    // Empty for a sound picture. For one that is embedded although its data is
    // damaged, what is wrong with it, as a static text such as "its data ends
    // early" (a JPEG cut short, which readers show partly grey).
    std::string_view damage;
};

}  // namespace tabulon::pdf
