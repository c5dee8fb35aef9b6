#include "sfnt_builder.h"

#include <algorithm>

namespace tabulon::pdf {

void put16(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    put16(out, value >> 16);
    put16(out, value & 0xFFFF);
}

void set16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value)
{
    out[at] = static_cast<std::uint8_t>(value >> 8);
    out[at + 1] = static_cast<std::uint8_t>(value);
}

void set32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value)
{
    set16(out, at, value >> 16);
    set16(out, at + 2, value & 0xFFFF);
}

std::uint32_t tableChecksum(std::span<const std::uint8_t> bytes)
{
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        std::uint32_t word = 0;
        for (std::size_t j = 0; j < 4; ++j) {
            word = (word << 8) | (i + j < bytes.size() ? bytes[i + j] : 0u);
        }
        sum += word;
    }
    return sum;
}

SearchFields searchFields(std::uint32_t count)
{
    SearchFields fields;
    while (fields.power * 2 <= count) {
        fields.power *= 2;
        ++fields.log2;
    }
    return fields;
}

std::vector<std::uint8_t> buildSfnt(std::vector<SfntTable> tables)
{
    std::sort(tables.begin(), tables.end(), [](const SfntTable& a, const SfntTable& b) { return a.tag < b.tag; });
    auto count = static_cast<std::uint32_t>(tables.size());
    const auto [power, log2] = searchFields(count);
    std::vector<std::uint8_t> file;
    put32(file, 0x00010000);
    put16(file, count);
    put16(file, power * 16);
    put16(file, log2);
    put16(file, count * 16 - power * 16);

    std::size_t offset = 12 + 16 * static_cast<std::size_t>(count);
    std::size_t headAt = 0;
    bool haveHead = false;
    for (SfntTable& table : tables) {
        if (table.tag == "head" && table.bytes.size() >= 12) {
            // The head table's checksum is taken with its adjustment field zero.
            set32(table.bytes, 8, 0);
            headAt = offset;
            haveHead = true;
        }
        for (std::size_t i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(table.tag[i]));
        put32(file, tableChecksum(table.bytes));
        put32(file, static_cast<std::uint32_t>(offset));
        put32(file, static_cast<std::uint32_t>(table.bytes.size()));
        offset += (table.bytes.size() + 3) & ~std::size_t{3};
    }
    for (const SfntTable& table : tables) {
        file.insert(file.end(), table.bytes.begin(), table.bytes.end());
        file.resize((file.size() + 3) & ~std::size_t{3}, 0);
    }
    if (haveHead) set32(file, headAt + 8, 0xB1B0AFBAu - tableChecksum(file));
    return file;
}

}  // namespace tabulon::pdf
