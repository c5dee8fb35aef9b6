// Bounds-checked big- and little-endian reads over a picture file's bytes.
//
// Every reader of outside picture data goes through these helpers: a read that would
// pass the end of the data reports false instead of touching memory beyond it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tabulon::pdf {

using Bytes = std::span<const std::uint8_t>;

// True when `count` bytes starting at `offset` lie inside the data (no overflow).
inline bool hasBytes(Bytes data, std::size_t offset, std::size_t count)
{
    return offset <= data.size() && count <= data.size() - offset;
}

inline bool readU16BE(Bytes data, std::size_t offset, std::uint32_t& value)
{
    if (!hasBytes(data, offset, 2)) return false;
    value = (std::uint32_t{data[offset]} << 8) | data[offset + 1];
    return true;
}

inline bool readU32BE(Bytes data, std::size_t offset, std::uint32_t& value)
{
    if (!hasBytes(data, offset, 4)) return false;
    value = (std::uint32_t{data[offset]} << 24) | (std::uint32_t{data[offset + 1]} << 16) |
            (std::uint32_t{data[offset + 2]} << 8) | data[offset + 3];
    return true;
}

inline bool readU16LE(Bytes data, std::size_t offset, std::uint32_t& value)
{
    if (!hasBytes(data, offset, 2)) return false;
    value = std::uint32_t{data[offset]} | (std::uint32_t{data[offset + 1]} << 8);
    return true;
}

inline bool readS16LE(Bytes data, std::size_t offset, std::int32_t& value)
{
    std::uint32_t raw = 0;
    if (!readU16LE(data, offset, raw)) return false;
    value = static_cast<std::int16_t>(static_cast<std::uint16_t>(raw));
    return true;
}

inline bool readU32LE(Bytes data, std::size_t offset, std::uint32_t& value)
{
    if (!hasBytes(data, offset, 4)) return false;
    value = std::uint32_t{data[offset]} | (std::uint32_t{data[offset + 1]} << 8) |
            (std::uint32_t{data[offset + 2]} << 16) | (std::uint32_t{data[offset + 3]} << 24);
    return true;
}

}  // namespace tabulon::pdf
