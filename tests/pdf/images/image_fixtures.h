// Small pictures built in memory for the image tests, and paths to the real ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tabulon::test {

// The folder holding the real sample files (pngsuite/, jpeg/, jpeg2000/, wmf/, ...).
std::string imageDataPath(const std::string& relative);

// A JFIF file with only SOI, APP0 and a frame header of the given marker, size and
// component count (no scan: enough for the header parser, not for a decoder).
std::string jpegHeaderOnly(std::uint32_t frameMarker, int width, int height, int components);

// A valid 8-bit PNG: colour type 0, 2 or 3, rows of `width` samples all `value`,
// with a `paletteEntries`-entry palette for type 3.
std::string makePng(int colourType, int width, int height, int paletteEntries, std::uint8_t value);

// A placeable metafile with the given bounding box and units per inch, holding the
// given records (each: function, parameter words), and an EOF record.
struct WmfRecord {
    std::uint16_t function;
    std::vector<std::int16_t> params;
};
std::string makeWmf(int left, int top, int right, int bottom, int inch, const std::vector<WmfRecord>& records);

}  // namespace tabulon::test
