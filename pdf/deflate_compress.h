// A compressProc over libdeflate, for the writer's streams (page contents, forms
// and font files). The writer itself has no compression of its own.
#pragma once

#include "writer_hooks.h"

namespace tabulon::pdf {

// Replaces the buffer's bytes by their zlib stream (FlateDecode). Returns false,
// leaving the buffer untouched, when compression fails or memory runs out. Safe to
// call from several threads at once.
bool deflateBuffer(ByteBuffer& buffer);

inline CompressProc deflateCompressProc() { return deflateBuffer; }

}  // namespace tabulon::pdf
