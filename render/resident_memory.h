// Handing memory that holds text already read back to the system, for passes
// over jobs too large to keep resident next to the PDF they become.
#pragma once

#include <cstddef>

namespace tabulon::render {

// Discards the whole memory pages inside [begin, end): the system takes them back
// and their bytes read as zero from then on. Bytes of partial pages at either end
// stay as they are.
void discardWholePages(char* begin, char* end);

}  // namespace tabulon::render
