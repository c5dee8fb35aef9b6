#include "jpeg_header.h"

#include "error_codes.h"

namespace tabulon::pdf {

namespace {

// Marker codes: 0xFF and the byte after it.
enum Marker : std::uint32_t { kSoi = 0xFFD8, kEoi = 0xFFD9, kSos = 0xFFDA, kDqt = 0xFFDB, kCom = 0xFFFE };

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

// Markers without a length: TEM and RST0-RST7, and SOI. Every other marker but EOI
// starts a segment whose two-byte length follows it.
bool isStandAlone(std::uint8_t code) { return code == 0x01 || (code >= 0xD0 && code <= 0xD8); }

bool isRestart(std::uint8_t code) { return code >= 0xD0 && code <= 0xD7; }

// The next marker at or after `p`, or the data's end. Bytes between segments that
// are not a marker are junk and skipped; of a run of FF fill bytes the last one
// belongs to the marker, and FF 00 is no marker.
std::size_t nextMarker(Bytes data, std::size_t p)
{
    while (p + 1 < data.size() && (data[p] != 0xFF || data[p + 1] == 0xFF || data[p + 1] == 0x00)) ++p;
    return p + 1 < data.size() ? p : data.size();
}

// Where the entropy-coded data of a scan, starting at `p`, ends: at the first
// marker that is not a stuffed zero (FF 00), a restart marker or an FF fill byte,
// or at the data's end.
std::size_t scanDataEnd(Bytes data, std::size_t p)
{
    while (p + 1 < data.size()) {
        const std::uint8_t next = data[p + 1];
        if (data[p] == 0xFF && next != 0x00 && next != 0xFF && !isRestart(next)) return p;
        ++p;
    }
    return data.size();
}

// Where the picture's data ends: just after the end-of-image marker that the
// markers from the frame header at `p` on lead to, or 0 when they run into the
// data's end first. Segments are skipped by their length, so an EOI inside one
// (the thumbnail of an Exif segment) is not taken for the file's own.
//
// What follows the end-of-image marker is not part of the picture: padding, junk
// or a second picture is left out of the embedded stream, so that a small picture
// with a large tail does not carry the tail into the PDF. Padding after a cut ends
// nothing: zero bytes are read as entropy-coded data or skipped as junk between
// segments, and FF bytes as fill, so a cut file padded with zeros or FF bytes (as
// a partly written file or a copy rounded up to whole blocks is) still runs into
// its end and counts as cut. A segment whose length reaches past the data's end is
// cut as well.
std::size_t endOfImage(Bytes data, std::size_t p)
{
    for (p = nextMarker(data, p); p < data.size(); p = nextMarker(data, p)) {
        const std::uint8_t code = data[p + 1];
        if (code == 0xD9) return p + 2;
        if (isStandAlone(code)) {
            p += 2;
            continue;
        }
        std::uint32_t length = 0;
        if (!readU16BE(data, p + 2, length) || !hasBytes(data, p + 2, length)) return 0;
        // The length counts its own two bytes; a damaged 0 or 1 still moves on.
        p += 2 + length;
        if (code == 0xDA) p = scanDataEnd(data, p);
    }
    return 0;
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
            if (frame.error != 0) return frame;
            if (!fileCanHoldPicture(data, frame.header)) return failure("JPEG file too short for its picture size.");
            const std::size_t end = endOfImage(data, p);
            frame.endsEarly = end == 0;
            frame.length = frame.endsEarly ? data.size() : end;
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
