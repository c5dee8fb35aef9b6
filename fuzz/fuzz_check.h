// What every harness uses to report a broken promise: the fuzzer only notices a
// crash, so a failed check prints what did not hold and aborts.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace tabulon::fuzz {

inline void require(bool holds, const char* what)
{
    if (holds) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

}  // namespace tabulon::fuzz
