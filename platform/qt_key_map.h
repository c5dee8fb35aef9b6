// Qt key codes to Windows virtual-key codes, so that the main loop's key numbers
// (virtual-key code minus 111) mean the same keys on every platform.
#pragma once

namespace tabulon::platform {

// 0 for a key without a virtual-key code.
int windowsVirtualKey(int qtKey);

}  // namespace tabulon::platform
