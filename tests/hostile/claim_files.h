// Picture files whose headers claim a size, with as much data as the test wants.
#pragma once

#include <cstdint>
#include <string>

namespace tabulon::test {

void be16(std::string& out, std::uint32_t v);
void be32(std::string& out, std::uint32_t v);

// SOI, JFIF, a quantization table, a baseline frame of width x height with three
// components, a scan header, `scanBytes` bytes of scan data and EOI.
std::string claimingJpeg(std::uint32_t width, std::uint32_t height, std::size_t scanBytes);
// An 8-bit RGB header of width x height over `zeroBytes` zero bytes, deflated.
std::string claimingPng(std::uint32_t width, std::uint32_t height, std::size_t zeroBytes);
// The same header over `idatBytes` zero bytes taken as they are (not a zlib
// stream: the writer never inflates them).
std::string claimingPngWithIdat(std::uint32_t width, std::uint32_t height, std::size_t idatBytes);
// SOC and a SIZ segment for three components, then `segments` and EOC.
std::string claimingJpx(std::uint32_t width, std::uint32_t height, const std::string& segments);
// A placeable metafile of width x height units at one unit per inch with one
// rectangle over all of it.
std::string claimingMetafile(std::uint32_t width, std::uint32_t height);

}  // namespace tabulon::test
