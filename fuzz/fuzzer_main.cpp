// The libFuzzer entry point of one harness; TABULON_FUZZ_ENTRY names its body.
#include "harnesses.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return TABULON_FUZZ_ENTRY(data, size);
}
