// POSIX: standard input already delivers its bytes unchanged.
#include "standard_input.h"

namespace tabulon::platform {

void readStandardInputAsBytes() {}

}  // namespace tabulon::platform
