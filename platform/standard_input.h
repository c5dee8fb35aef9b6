// A program's standard input read as bytes, as a job arrives: every CR, LF and
// other byte as it was sent, to the end.
#pragma once

namespace tabulon::platform {

// Makes the C and C++ standard input deliver its bytes unchanged. Call it before
// the first read.
void readStandardInputAsBytes();

}  // namespace tabulon::platform
