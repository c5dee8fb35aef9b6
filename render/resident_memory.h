// Handing memory that holds text already read back to the system, for passes
// over jobs too large to keep resident next to the PDF they become.
#pragma once

#include <cstddef>

namespace tabulon::render {

// Discards the whole memory pages inside [begin, end): the system may take them
// back, so their bytes must not be read again (they may read as zero or as
// anything else). Bytes of partial pages at either end stay as they are.
void discardWholePages(char* begin, char* end);

}  // namespace tabulon::render
