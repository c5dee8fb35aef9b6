// What a key does in the preview: a key is identified by its key number, the
// Windows virtual-key code minus 111 (F1 to F12 give 1 to 12). Escape, F4 and F6
// stand for a click of the exit, print and PDF buttons; every other key, the
// arrows included, does nothing.
#pragma once

#include <optional>

namespace tabulon::shell {

inline constexpr int keyNumber(int virtualKey) { return virtualKey - 111; }

// The gadget whose click the key posts, or nothing.
std::optional<int> gadgetForKeyNumber(int number);

}  // namespace tabulon::shell
