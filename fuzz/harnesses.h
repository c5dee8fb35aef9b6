// The body of every fuzz harness, as a plain function: the libFuzzer wrapper
// calls it for each generated input and the regression test replays kept
// inputs through it with the ordinary compiler. Each returns 0 and aborts when
// a check fails.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tabulon::fuzz::truetype {
int fuzzOne(const std::uint8_t* data, std::size_t size);
}
