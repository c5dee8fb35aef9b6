#include "jpeg_header.h"

#include "pdf_writer.h"

namespace tabulon::pdf {

namespace {

// Marker codes (the byte after 0xFF).
constexpr std::uint32_t kSoi = 0xFFD8;
constexpr std::uint32_t kEoi = 0xFFD9;
constexpr std::uint32_t kSos = 0xFFDA;
constexpr std::uint32_t kDqt = 0xFFDB;
constexpr std::uint32_t kCom = 0xFFFE;

bool isSupportedFrame(std::uint32_t marker)
{
    // SOF0 baseline, SOF1 extended sequential, SOF2 progressive (Huffman coding).
    return marker == 0xFFC0 || marker == 0xFFC1 || marker == 0xFFC2;
}

bool isSkippedSegment(std::uint32_t marker)
{
    // APP0-APP15, the other frame types (lossless, hierarchical, arithmetic; none
    // of them is embedded), DHT, DAC, JPG, the scan header, DQT and comments.
    return (marker >= 0xFFE0 && marker <= 0xFFEF) || (marker >= 0xFFC3 && marker <= 0xFFCF) ||
           marker == kSos || marker == kDqt || marker == kCom;
}

JpegResult failure(std::string_view message)
{
    JpegResult result;
    result.error = kJpegUnsupported;
    result.message = message;
    return result;
}

// Reads the frame header whose marker sits at `p`.
JpegResult readFrame(Bytes data, std::size_t p)
{
    std::uint32_t height = 0, width = 0;
    if (!hasBytes(data, p, 10) || !readU16BE(data, p + 5, height) || !readU16BE(data, p + 7, width)) {
        return failure("JPEG frame header cut off by the end of the file.");
    }
    if (width == 0 || height == 0 || width > kMaxJpegDimension || height > kMaxJpegDimension) {
        return failure("JPEG frame header without a picture size.");
    }
    // Sample precision is 8 bits, or 12 in extended and progressive files; any
    // other value would become an image a PDF reader cannot decode.
    const std::uint8_t precision = data[p + 4];
    if (precision != 8 && precision != 12) return failure("JPEG sample precision other than 8 or 12 bits.");
    JpegResult result;
    result.header.bitsPerComponent = precision;
    result.header.width = static_cast<std::int32_t>(width);
    result.header.height = static_cast<std::int32_t>(height);
    switch (data[p + 9]) {
    case 1: result.header.colorSpace = "DeviceGray"; break;
    case 3: result.header.colorSpace = "DeviceRGB"; break;
    case 4: result.header.colorSpace = "DeviceCMYK"; break;
    default: return failure("Unsupported JPEG component count (not 1, 3 or 4).");
    }
    return result;
}

// Every MCU of a scan takes at least one bit and covers at most 32 x 32 pixels, so
// a file shorter than that many bits cannot hold the picture its frame header
// claims, and would be embedded as a picture no reader can show.
bool fileCanHoldPicture(Bytes data, const JpegHeader& header)
{
    const auto mcus = [](std::int32_t pixels) { return (static_cast<std::uint64_t>(pixels) + 31) / 32; };
    return static_cast<std::uint64_t>(data.size()) * 8 >= mcus(header.width) * mcus(header.height);
}

}  // namespace

JpegResult parseJpeg(Bytes data)
{
    std::size_t p = 0;
    std::uint32_t marker = 0;
    while (readU16BE(data, p, marker)) {
        if (marker == kSoi) {
            p += 2;
        } else if (isSupportedFrame(marker)) {
            JpegResult frame = readFrame(data, p);
            if (frame.error == 0 && !fileCanHoldPicture(data, frame.header)) {
                return failure("JPEG file too short for its picture size.");
            }
            return frame;
        } else if (isSkippedSegment(marker)) {
            std::uint32_t length = 0;
            if (!readU16BE(data, p + 2, length)) break;
            // The length counts its own two bytes; a damaged 0 or 1 still moves on.
            p += 2 + length;
        } else if (marker == kEoi) {
            break;
        } else {
            ++p;  // fill bytes, stand-alone markers and entropy-coded data
        }
    }
    return failure("No baseline, extended or progressive JPEG frame header.");
}

}  // namespace tabulon::pdf
