// Feeds arbitrary bytes to the TrueType parser as a font file. Seeds: any .ttf
// file, e.g. those under /usr/share/fonts/truetype/liberation.
#include <cstddef>
#include <cstdint>

#include "font_record.h"
#include "truetype.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tabulon::pdf::FontRecord record;
    tabulon::pdf::parseTrueType({data, size}, record);
    return 0;
}
