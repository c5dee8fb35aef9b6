#include "jpx_header.h"

#include "error_codes.h"

namespace tabulon::pdf {

namespace {

// SIZ layout: SOC, SIZ marker, Lsiz, Rsiz, Xsiz, Ysiz, XOsiz, YOsiz, four tile
// fields, Csiz, then three bytes per component.
constexpr std::size_t kLsiz = 4;
constexpr std::size_t kXsiz = 8;
constexpr std::size_t kYsiz = 12;
constexpr std::size_t kXOsiz = 16;
constexpr std::size_t kYOsiz = 20;
constexpr std::size_t kCsiz = 40;
constexpr std::uint32_t kSizFixedLength = 38;  // Lsiz without the component bytes

JpxResult failure(std::string_view message)
{
    JpxResult result;
    result.error = kImageRead;
    result.message = message;
    return result;
}

constexpr std::uint32_t kCod = 0xFF52;
constexpr std::uint32_t kQcd = 0xFF5C;
constexpr std::uint32_t kSot = 0xFF90;

// Walks the main header's marker segments after SIZ: a codestream that carries
// a picture has its coding style (COD) and quantization (QCD) there and then its
// first tile-part (SOT). Without them the header's picture size is all the file
// has, and the embedded stream would be one no reader can show.
bool mainHeaderReachesTileData(Bytes data, std::size_t p)
{
    bool coding = false, quantization = false;
    std::uint32_t marker = 0, length = 0;
    while (readU16BE(data, p, marker)) {
        if (marker == kSot) return coding && quantization;
        if (!readU16BE(data, p + 2, length) || length < 2 || (marker >> 8) != 0xFF) return false;
        coding = coding || marker == kCod;
        quantization = quantization || marker == kQcd;
        p += 2 + static_cast<std::size_t>(length);
    }
    return false;
}

}  // namespace

JpxResult parseJpx(Bytes data)
{
    std::uint32_t marker = 0, lsiz = 0, xsiz = 0, ysiz = 0, xosiz = 0, yosiz = 0, csiz = 0;
    if (!readU32BE(data, 0, marker) || marker != 0xFF4FFF51) return failure("Not a JPEG 2000 codestream.");
    if (!readU16BE(data, kLsiz, lsiz) || !readU32BE(data, kXsiz, xsiz) || !readU32BE(data, kYsiz, ysiz) ||
        !readU32BE(data, kXOsiz, xosiz) || !readU32BE(data, kYOsiz, yosiz) || !readU16BE(data, kCsiz, csiz)) {
        return failure("JPEG 2000 SIZ segment cut off by the end of the file.");
    }
    if (csiz == 0 || csiz > kMaxJpxComponents || lsiz != kSizFixedLength + 3 * csiz ||
        !hasBytes(data, kLsiz, lsiz)) {
        return failure("Damaged JPEG 2000 SIZ segment (component count and length disagree).");
    }
    if (xosiz >= xsiz || yosiz >= ysiz || xsiz - xosiz > kMaxJpxDimension || ysiz - yosiz > kMaxJpxDimension) {
        return failure("JPEG 2000 picture without width or height.");
    }
    if (!mainHeaderReachesTileData(data, kLsiz + lsiz)) {
        return failure("JPEG 2000 codestream without coding style, quantization or tile data.");
    }
    JpxResult result;
    result.header.width = static_cast<std::int32_t>(xsiz - xosiz);
    result.header.height = static_cast<std::int32_t>(ysiz - yosiz);
    result.header.components = static_cast<std::int32_t>(csiz);
    result.header.bitsPerComponent = 8;
    result.header.colorSpace = csiz <= 2 ? "DeviceGray" : "DeviceRGB";
    return result;
}

}  // namespace tabulon::pdf
