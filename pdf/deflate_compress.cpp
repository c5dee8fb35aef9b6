#include "deflate_compress.h"

#include <libdeflate.h>

#include <memory>

namespace tabulon::pdf {

namespace {

// Level 6 is the knee of the curve on table-like page contents: each level above
// it up to 9 costs more time and gives no smaller streams, and the levels from 10
// on save a further 6 % for twenty times the time.
constexpr int kLevel = 6;

struct CompressorFree {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

// A compressor is not safe to share, and making one for every stream would cost
// more than compressing a page: each thread keeps its own. One that could not be
// had is tried again at the next stream.
libdeflate_compressor* threadCompressor()
{
    thread_local std::unique_ptr<libdeflate_compressor, CompressorFree> compressor;
    if (!compressor) compressor.reset(libdeflate_alloc_compressor(kLevel));
    return compressor.get();
}

}  // namespace

bool deflateBuffer(ByteBuffer& buffer)
{
    libdeflate_compressor* compressor = threadCompressor();
    if (compressor == nullptr) return false;
    std::size_t bound = libdeflate_zlib_compress_bound(compressor, buffer.length());
    ByteBuffer compressed;
    if (!compressed.ensureCapacity(bound)) return false;
    std::size_t length =
        libdeflate_zlib_compress(compressor, buffer.data(), buffer.length(), compressed.data(), compressed.capacity());
    if (length == 0) return false;
    compressed.setLength(length);
    buffer.swap(compressed);
    return true;
}

}  // namespace tabulon::pdf
