#include "png_header.h"

#include <cmath>
#include <cstring>

#include "error_codes.h"

namespace tabulon::pdf {

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

bool isType(Bytes data, std::size_t offset, const char* type)
{
    return hasBytes(data, offset, 4) && std::memcmp(data.data() + offset, type, 4) == 0;
}

PngResult fail(PngImage& image, std::int32_t error, std::string_view message)
{
    image.palette.release();
    image.data.release();
    return {error, message};
}

// Bit depths the format allows for each accepted colour type.
bool isValidDepth(std::uint8_t colourType, std::uint32_t depth)
{
    if (colourType == 2) return depth == 8;
    return depth == 1 || depth == 2 || depth == 4 || depth == 8;
}

PngResult readHeader(Bytes data, PngImage& image)
{
    std::uint32_t width = 0, height = 0;
    if (!hasBytes(data, 0, kPngFirstChunk) || std::memcmp(data.data(), kSignature, 8) != 0 ||
        !isType(data, kPngIhdrType, "IHDR")) {
        return {kPngIncorrect, "Damaged PNG signature or header."};
    }
    readU32BE(data, kPngIhdrData, width);
    readU32BE(data, kPngIhdrData + 4, height);
    const std::uint32_t depth = data[24];
    const std::uint8_t colourType = data[25];
    if (depth > 8) return {kPng16Bit, "Unsupported PNG bit depth above 8."};
    int colours = 0;
    switch (colourType) {
    case 0: image.colorSpace = "DeviceGray"; colours = 1; break;
    case 2: image.colorSpace = "DeviceRGB"; colours = 3; break;
    case 3: image.colorSpace = "Indexed"; colours = 1; break;
    default: return {kPngAlpha, "Unsupported PNG colour type (alpha or invalid)."};
    }
    if (data[26] != 0) return {kPngCompression, "Unsupported PNG compression method."};
    if (data[27] != 0) return {kPngFilter, "Unsupported PNG filter method."};
    if (data[28] != 0) return {kPngInterlace, "Unsupported PNG interlacing."};
    if (!isValidDepth(colourType, depth)) return {kPngIncorrect, "Invalid PNG bit depth for its colour type."};
    if (width == 0 || height == 0 || width > kMaxPngDimension || height > kMaxPngDimension) {
        return {kPngIncorrect, "Invalid PNG picture size."};
    }
    image.width = static_cast<std::int32_t>(width);
    image.height = static_cast<std::int32_t>(height);
    image.bitsPerComponent = static_cast<std::int32_t>(depth);
    image.decodeParms = "/DecodeParms <</Predictor 15 /Colors " + std::to_string(colours) +
                        " /BitsPerComponent " + std::to_string(depth) + " /Columns " +
                        std::to_string(width) + ">>";
    return {};
}

// Collects PLTE and IDAT data up to IEND or the end of the file. A chunk of length 0
// (an empty IDAT between others) is stepped over like any other chunk.
PngResult walkChunks(Bytes data, PngImage& image)
{
    const bool indexed = image.colorSpace == "Indexed";
    std::size_t p = kPngFirstChunk;
    std::uint32_t length = 0;
    while (readU32BE(data, p, length) && hasBytes(data, p + 4, 4)) {
        const std::size_t body = p + 8;
        if (length > kMaxPngDimension || !hasBytes(data, body, length)) {
            return {kPngIncorrect, "PNG chunk runs past the end of the file."};
        }
        if (isType(data, p + 4, "IEND")) break;
        ByteBuffer* target = nullptr;
        if (isType(data, p + 4, "IDAT")) target = &image.data;
        if (indexed && isType(data, p + 4, "PLTE")) target = &image.palette;
        if (target != nullptr && !target->append(data.data() + body, length)) {
            return {kOutOfMemory, "No memory for the PNG data."};
        }
        p = body + length + 4;  // data and CRC
    }
    return {};
}

// A zlib stream gives at most 1032 bytes for each byte it takes (a 258-byte match
// coded in two bits), so image data shorter than the filtered rows over 1032
// cannot hold the picture: the header claims more than the file has. Such a file
// would be embedded as a picture no reader can show.
bool dataCanHoldRows(const PngImage& image)
{
    const double colours = image.colorSpace == "DeviceRGB" ? 3.0 : 1.0;
    const double rowBytes = 1.0 + std::ceil(static_cast<double>(image.width) * colours * image.bitsPerComponent / 8.0);
    return static_cast<double>(image.data.length()) * 1032.0 >= rowBytes * static_cast<double>(image.height);
}

}  // namespace

PngResult parsePng(Bytes data, PngImage& image)
{
    image.palette.release();
    image.data.release();
    PngResult result = readHeader(data, image);
    if (result.error == 0) result = walkChunks(data, image);
    if (result.error != 0) return fail(image, result.error, result.message);
    if (image.data.empty()) return fail(image, kPngIncorrect, "PNG without image data.");
    if (!dataCanHoldRows(image)) return fail(image, kPngIncorrect, "PNG image data too short for its picture size.");
    if (image.colorSpace == "Indexed") {
        if (image.palette.empty()) return fail(image, kPngPalette, "Missing palette in PNG.");
        if (image.palette.length() % 3 != 0 || image.palette.length() > kMaxPngPaletteBytes) {
            return fail(image, kPngIncorrect, "Invalid PNG palette length.");
        }
    }
    return result;
}

}  // namespace tabulon::pdf
