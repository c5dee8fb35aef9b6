#include "deflate_compress.h"

#include <libdeflate.h>

#include <mutex>
#include <new>
#include <vector>

namespace tabulon::pdf {

namespace {

// Level 6 is the knee of the curve on table-like page contents: each level above
// it up to 9 costs more time and gives no smaller streams, and the levels from 10
// on save a further 6 % for twenty times the time.
constexpr int kLevel = 6;

// A compressor is not safe to share, and making one for every stream would cost
// more than compressing a page: compressors are lent from a pool, one to each
// stream being compressed at a time, and kept for the next. A pool rather than one
// compressor per thread: a thread-local object with a destructor is not reliably
// destroyed at thread exit by every C++ runtime this is built with (MinGW's frees
// the thread's storage first), and the pool ends with the program instead.
class CompressorPool {
public:
    CompressorPool() = default;
    CompressorPool(const CompressorPool&) = delete;
    CompressorPool& operator=(const CompressorPool&) = delete;
    ~CompressorPool()
    {
        for (libdeflate_compressor* compressor : idle_) libdeflate_free_compressor(compressor);
    }

    // An idle compressor or a new one; null when none can be had.
    libdeflate_compressor* take()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (!idle_.empty()) {
                libdeflate_compressor* compressor = idle_.back();
                idle_.pop_back();
                return compressor;
            }
        }
        return libdeflate_alloc_compressor(kLevel);
    }

    void give(libdeflate_compressor* compressor)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        try {
            idle_.push_back(compressor);
        } catch (const std::bad_alloc&) {
            libdeflate_free_compressor(compressor);
        }
    }

private:
    std::mutex mutex_;
    std::vector<libdeflate_compressor*> idle_;
};

CompressorPool& pool()
{
    static CompressorPool compressors;
    return compressors;
}

// A compressor lent for one stream.
class Lent {
public:
    Lent() : compressor_(pool().take()) {}
    ~Lent()
    {
        if (compressor_ != nullptr) pool().give(compressor_);
    }
    Lent(const Lent&) = delete;
    Lent& operator=(const Lent&) = delete;
    libdeflate_compressor* get() const { return compressor_; }

private:
    libdeflate_compressor* compressor_;
};

}  // namespace

bool deflateBuffer(ByteBuffer& buffer)
{
    const Lent lent;
    libdeflate_compressor* compressor = lent.get();
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
