// Writes TrueType (sfnt) files: big-endian values into byte vectors, and a whole
// file assembled from its tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tabulon::pdf {

void put16(std::vector<std::uint8_t>& out, std::uint32_t value);
void put32(std::vector<std::uint8_t>& out, std::uint32_t value);
// Overwrites the value at `at`, which the vector must already hold.
void set16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value);
void set32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value);

// The binary-search fields of a table directory or a cmap subtable over `count`
// entries: the largest power of two not above `count`, and its base-2 logarithm.
struct SearchFields {
    std::uint32_t power = 1;
    std::uint32_t log2 = 0;
};
SearchFields searchFields(std::uint32_t count);

// The sum of the table's big-endian 32-bit words, the last one padded with zeros.
std::uint32_t tableChecksum(std::span<const std::uint8_t> bytes);

struct SfntTable {
    std::string tag;  // four characters
    std::vector<std::uint8_t> bytes;
};

// A TrueType file of the tables: the directory sorted by tag with its binary
// search fields, every table starting on a 4-byte boundary, each table's
// checksum, and, when there is a head table of at least 12 bytes, its checksum
// adjustment set so that the whole file sums to 0xB1B0AFBA.
std::vector<std::uint8_t> buildSfnt(std::vector<SfntTable> tables);

}  // namespace tabulon::pdf
