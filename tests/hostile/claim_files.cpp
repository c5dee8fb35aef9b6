#include "claim_files.h"

#include <zlib.h>

namespace tabulon::test {

void be16(std::string& out, std::uint32_t v) { out += {static_cast<char>(v >> 8), static_cast<char>(v)}; }
void be32(std::string& out, std::uint32_t v)
{
    be16(out, v >> 16);
    be16(out, v & 0xFFFF);
}
namespace {

void le16(std::string& out, std::uint32_t v) { out += {static_cast<char>(v), static_cast<char>(v >> 8)}; }
void le32(std::string& out, std::uint32_t v)
{
    le16(out, v & 0xFFFF);
    le16(out, v >> 16);
}

}  // namespace

std::string claimingJpeg(std::uint32_t width, std::uint32_t height, std::size_t scanBytes)
{
    std::string jpeg = "\xFF\xD8\xFF\xE0";
    be16(jpeg, 16);
    jpeg += std::string("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14);
    jpeg += "\xFF\xDB";
    be16(jpeg, 67);
    jpeg += std::string(1, '\0') + std::string(64, '\x01');
    jpeg += "\xFF\xC0";
    be16(jpeg, 17);
    jpeg += '\x08';
    be16(jpeg, height);
    be16(jpeg, width);
    jpeg += std::string("\x03\x01\x11\0\x02\x11\0\x03\x11\0", 10);
    jpeg += "\xFF\xDA";
    be16(jpeg, 12);
    jpeg += std::string("\x03\x01\0\x02\0\x03\0\0\x3F\0", 10);
    jpeg += std::string(scanBytes, '\0') + "\xFF\xD9";
    return jpeg;
}

namespace {

void pngChunk(std::string& png, const char* type, const std::string& data)
{
    be32(png, static_cast<std::uint32_t>(data.size()));
    std::string body = type + data;
    png += body;
    be32(png, static_cast<std::uint32_t>(::crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                                 static_cast<uInt>(body.size()))));
}

// An RGB PNG of the claimed size whose one IDAT chunk holds `idat`.
std::string pngWithIdat(std::uint32_t width, std::uint32_t height, const std::string& idat)
{
    std::string png = "\x89PNG\r\n\x1A\n";
    std::string header;
    be32(header, width);
    be32(header, height);
    header += std::string("\x08\x02\0\0\0", 5);
    pngChunk(png, "IHDR", header);
    pngChunk(png, "IDAT", idat);
    pngChunk(png, "IEND", "");
    return png;
}

}  // namespace

std::string claimingPng(std::uint32_t width, std::uint32_t height, std::size_t zeroBytes)
{
    std::string rows(zeroBytes, '\0');
    uLongf size = compressBound(static_cast<uLong>(rows.size()));
    std::string packed(size, '\0');
    ::compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(rows.data()),
               static_cast<uLong>(rows.size()));
    packed.resize(size);
    return pngWithIdat(width, height, packed);
}

std::string claimingPngWithIdat(std::uint32_t width, std::uint32_t height, std::size_t idatBytes)
{
    return pngWithIdat(width, height, std::string(idatBytes, '\0'));
}

std::string claimingJpx(std::uint32_t width, std::uint32_t height, const std::string& segments)
{
    std::string jpx = "\xFF\x4F\xFF\x51";
    be16(jpx, 47);
    be16(jpx, 0);
    for (std::uint32_t v : {width, height, 0u, 0u, width, height, 0u, 0u}) be32(jpx, v);
    be16(jpx, 3);
    jpx += std::string("\x07\x01\x01\x07\x01\x01\x07\x01\x01", 9);
    return jpx + segments + "\xFF\xD9";
}

std::string claimingMetafile(std::uint32_t width, std::uint32_t height)
{
    std::string wmf;
    le32(wmf, 0x9AC6CDD7);
    le16(wmf, 0);
    for (std::uint32_t v : {0u, 0u, width, height}) le16(wmf, v);
    le16(wmf, 1);
    le32(wmf, 0);
    std::uint32_t checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2) {
        checksum ^= static_cast<std::uint8_t>(wmf[i]) | static_cast<std::uint32_t>(static_cast<std::uint8_t>(wmf[i + 1])) << 8;
    }
    le16(wmf, checksum);
    for (std::uint32_t v : {1u, 9u, 0x300u}) le16(wmf, v);
    le32(wmf, 9 + 7 + 3);
    le16(wmf, 0);
    le32(wmf, 7);
    le16(wmf, 0);
    le32(wmf, 7);  // Rectangle: bottom, right, top, left
    for (std::uint32_t v : {0x041Bu, height, width, 0u, 0u}) le16(wmf, v);
    le32(wmf, 3);  // end of file
    le16(wmf, 0);
    return wmf;
}

}  // namespace tabulon::test
