#include "image_fixtures.h"

#include <zlib.h>

namespace tabulon::test {

namespace {

void be16(std::string& s, std::uint32_t v)
{
    s += static_cast<char>(v >> 8);
    s += static_cast<char>(v);
}

void be32(std::string& s, std::uint32_t v)
{
    be16(s, v >> 16);
    be16(s, v & 0xFFFF);
}

void le16(std::string& s, std::uint32_t v)
{
    s += static_cast<char>(v);
    s += static_cast<char>(v >> 8);
}

void le32(std::string& s, std::uint32_t v)
{
    le16(s, v & 0xFFFF);
    le16(s, v >> 16);
}

void chunk(std::string& png, const char* type, const std::string& data)
{
    be32(png, static_cast<std::uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    png += body;
    be32(png, static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                                static_cast<uInt>(body.size()))));
}

}  // namespace

std::string imageDataPath(const std::string& relative) { return std::string(TABULON_IMAGE_DATA) + "/" + relative; }

std::string jpegHeaderOnly(std::uint32_t frameMarker, int width, int height, int components)
{
    std::string j = "\xFF\xD8\xFF\xE0";
    be16(j, 16);
    j += std::string("JFIF\0\x01\x01\x00\x00\x01\x00\x01\x00\x00", 14);
    be16(j, frameMarker);
    be16(j, static_cast<std::uint32_t>(8 + 3 * components));
    j += '\x08';
    be16(j, static_cast<std::uint32_t>(height));
    be16(j, static_cast<std::uint32_t>(width));
    j += static_cast<char>(components);
    for (int c = 0; c < components; ++c) j += std::string{static_cast<char>(c + 1), '\x11', '\x00'};
    j += "\xFF\xD9";
    return j;
}

std::string makePng(int colourType, int width, int height, int paletteEntries, std::uint8_t value)
{
    const int channels = colourType == 2 ? 3 : 1;
    std::string png = "\x89PNG\r\n\x1A\n";
    std::string ihdr;
    be32(ihdr, static_cast<std::uint32_t>(width));
    be32(ihdr, static_cast<std::uint32_t>(height));
    ihdr += std::string{'\x08', static_cast<char>(colourType), '\0', '\0', '\0'};
    chunk(png, "IHDR", ihdr);
    if (colourType == 3) {
        std::string palette;
        for (int i = 0; i < paletteEntries; ++i) {
            palette += std::string{static_cast<char>(i * 16), static_cast<char>(255 - i * 16), '\x40'};
        }
        chunk(png, "PLTE", palette);
    }
    std::string rows;
    for (int y = 0; y < height; ++y) rows += '\0' + std::string(static_cast<std::size_t>(width * channels), static_cast<char>(value));
    uLongf size = compressBound(static_cast<uLong>(rows.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(rows.data()),
             static_cast<uLong>(rows.size()));
    packed.resize(size);
    chunk(png, "IDAT", packed);
    chunk(png, "IEND", "");
    return png;
}

std::string makeWmf(int left, int top, int right, int bottom, int inch, const std::vector<WmfRecord>& records)
{
    std::string w;
    le32(w, 0x9AC6CDD7);
    le16(w, 0);
    for (int v : {left, top, right, bottom}) le16(w, static_cast<std::uint16_t>(v));
    le16(w, static_cast<std::uint32_t>(inch));
    le32(w, 0);
    std::uint32_t checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2) {
        checksum ^= static_cast<std::uint8_t>(w[i]) | (static_cast<std::uint8_t>(w[i + 1]) << 8);
    }
    le16(w, checksum);
    std::string body;
    std::uint32_t maxRecord = 3;
    for (const WmfRecord& r : records) {
        const auto words = static_cast<std::uint32_t>(3 + r.params.size());
        maxRecord = std::max(maxRecord, words);
        le32(body, words);
        le16(body, r.function);
        for (std::int16_t p : r.params) le16(body, static_cast<std::uint16_t>(p));
    }
    le32(body, 3);
    le16(body, 0);
    le16(w, 1);
    le16(w, 9);
    le16(w, 0x0300);
    le32(w, static_cast<std::uint32_t>((18 + body.size()) / 2));
    le16(w, 8);
    le32(w, maxRecord);
    le16(w, 0);
    return w + body;
}

}  // namespace tabulon::test
