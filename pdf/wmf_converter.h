// Converts a placeable Windows metafile into the content of a PDF form XObject.
//
// The form keeps the metafile's own coordinate space: its bounding box is the one of
// the placeable header, in metafile units, with y growing downwards as in the
// metafile; the placement matrix written by PdfWriter::image flips and scales it
// onto the page. What the converter understands, record by record, is listed at the
// top of wmf_converter.cpp.
#pragma once

#include <cstdint>
#include <string_view>

#include "byte_buffer.h"
#include "image_bytes.h"

namespace tabulon::pdf {

// Size of the placeable header (key, handle, bounding box, units per inch,
// reserved, checksum) and of the standard header that follows it, in bytes.
inline constexpr std::size_t kWmfPlaceableHeaderBytes = 22;
inline constexpr std::size_t kWmfHeaderBytes = 18;
// Deepest SaveDC nesting that is remembered; further saves are ignored.
inline constexpr std::size_t kWmfMaxSavedStates = 1024;
// Object-table slots: the records address them with 16-bit indexes.
inline constexpr std::size_t kWmfMaxObjects = 65535;
// Units per inch assumed when the header gives 0, and the device resolution that
// cosmetic (1-pixel) pens and their dash patterns are measured in.
inline constexpr float kWmfDefaultUnitsPerInch = 1440.0f;
inline constexpr float kWmfDevicePixelsPerInch = 96.0f;

struct WmfForm {
    ByteBuffer content;  // PDF path and colour operators, one per line
    std::int32_t originX = 0;  // bounding box left and top, metafile units
    std::int32_t originY = 0;
    std::int32_t width = 0;    // right - left, bottom - top
    std::int32_t height = 0;
    std::int32_t unitsPerInch = 0;
    std::int32_t shapesDrawn = 0;  // records that put ink on the form
};

struct WmfResult {
    std::int32_t error = 0;  // 0, kMetafile (13) or kOutOfMemory (18)
    std::string_view message;
};

// Converts the whole metafile in `data`. A bad header, a record that runs past the
// end or is too short for its parameters, or a file without anything drawable fails
// with kMetafile; `form.content` is released on failure.
WmfResult convertWmf(Bytes data, WmfForm& form);

}  // namespace tabulon::pdf
