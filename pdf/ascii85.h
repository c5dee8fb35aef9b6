// ASCII base-85 encoding as read by the PDF ASCII85Decode filter, with line breaks.
#pragma once

#include <cstdint>
#include <span>

#include "byte_buffer.h"

namespace tabulon::pdf {

// Characters on one line of encoded output before a line feed.
inline constexpr int kAscii85LineLength = 73;

// Replaces `out` with the encoding of `data`: each group of 4 bytes as five
// characters "!" + digit (most significant first), an all-zero group as "z", a
// final partial group of n bytes as the first n + 1 characters of its zero-padded
// form, then the end marker "~>". A line feed follows every 73 characters ("z"
// counts as one); one more goes before the end marker when it would pass 73.
// False when memory runs out (`out` is then empty).
bool encodeAscii85(std::span<const std::uint8_t> data, ByteBuffer& out);

}  // namespace tabulon::pdf
