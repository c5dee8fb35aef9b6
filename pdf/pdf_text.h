// The byte-level text encoder behind text() and the info dictionary.
#pragma once

#include <string_view>

#include "byte_buffer.h"

namespace tabulon::pdf {

// Fills `buffer` with prefix, the encoded text and suffix. The text's bytes are
// written as they are, except 8, 9, 10, 12, 13, "\", "(" and ")", which get their
// backslash escapes; bytes 128 to 255 and zero bytes stay raw. In two-byte form
// the text starts with the UTF-16BE byte-order mark FE FF and every byte c becomes
// the pair 0, c. The buffer is sized for the worst case in one allocation.
// False when that allocation fails (the buffer is then left empty).
bool encodeText(std::string_view prefix, std::string_view suffix, std::string_view txt, ByteBuffer& buffer,
                bool twoByte);

}  // namespace tabulon::pdf
