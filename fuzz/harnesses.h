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
namespace tabulon::fuzz::jpeg {
int fuzzOne(const std::uint8_t* data, std::size_t size);
}
namespace tabulon::fuzz::png {
int fuzzOne(const std::uint8_t* data, std::size_t size);
}
namespace tabulon::fuzz::jpx {
int fuzzOne(const std::uint8_t* data, std::size_t size);
}
namespace tabulon::fuzz::job {
int fuzzOne(const std::uint8_t* data, std::size_t size);
}
namespace tabulon::fuzz::wmf {
int fuzzOne(const std::uint8_t* data, std::size_t size);
}
