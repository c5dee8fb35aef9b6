// The procedures a caller hands to the writer: hooks called at fixed points of the
// output, the page header and footer, the page-break decision and the stream
// compression. The document record keeps them, so they are declared apart from
// the writer class.
#pragma once

#include <cstdint>
#include <functional>

#include "byte_buffer.h"

namespace tabulon::pdf {

class PdfWriter;

// A parameterless procedure called at a fixed point of the output.
using HookProc = std::function<void(PdfWriter&)>;
// A header or footer procedure; `arg` is the registered argument (0 = none).
using PageProc = std::function<void(PdfWriter&, std::int32_t arg)>;
using AcceptPageBreakProc = std::function<bool(PdfWriter&)>;
// Offered a stream's bytes before output. Returns true after replacing the buffer's
// contents with their zlib (FlateDecode) form; false leaves the buffer untouched.
using CompressProc = std::function<bool(ByteBuffer& buffer)>;
// When the writer calls the compress proc on page contents. AtClose: on the
// caller's thread, when the document is closed. Concurrent, for a proc that is
// safe to call from several threads at once: each page as it ends, on the writer's
// own worker threads while the caller writes the next pages. A page is then
// compressed by the proc set when it ends, unless it holds the total-pages alias
// set at that time (the number is not known before the close), which waits for
// the close. With the proc and the alias set before the first page, the file is
// the same byte for byte as with AtClose.
enum class Compression { AtClose, Concurrent };

}  // namespace tabulon::pdf
