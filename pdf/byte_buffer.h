// A growable byte buffer for the PDF file image and for each page's content.
//
// Capacities are always multiples of 2048 bytes. Allocation failure never throws:
// the operation reports false and the old memory stays valid, so the writer can
// record "out of memory" and carry on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tabulon::pdf {

inline constexpr std::size_t kBufferStep = 2048;

// How a buffer grows when an append does not fit: to exactly the size needed,
// rounded up to the next 2048-byte step, or geometrically (at least doubling, still
// rounded to 2048). Exact growth keeps memory tight; geometric growth keeps a long
// run of appends linear where the allocator cannot extend in place.
enum class BufferGrowth { Exact, Geometric };
void setBufferGrowth(BufferGrowth growth);
BufferGrowth bufferGrowth();

class ByteBuffer {
public:
    ByteBuffer() = default;
    ~ByteBuffer() { release(); }
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    ByteBuffer(ByteBuffer&& other) noexcept { swap(other); }
    ByteBuffer& operator=(ByteBuffer&& other) noexcept
    {
        if (this != &other) {
            release();
            swap(other);
        }
        return *this;
    }

    // Allocates (or reallocates to) `size` rounded up to a multiple of 2048.
    // A buffer without memory starts with length 0; otherwise contents and length
    // are kept. Returns false when the memory cannot be had.
    bool ensureCapacity(std::size_t size);

    // Appends `count` bytes; grows first when needed. False on allocation failure
    // (nothing is appended then).
    bool append(const void* bytes, std::size_t count)
    {
        if (capacity_ - length_ < count && !grow(count)) return false;
        if (count != 0) std::memcpy(data_ + length_, bytes, count);
        length_ += count;
        return true;
    }
    bool append(std::string_view text) { return append(text.data(), text.size()); }
    bool appendByte(std::uint8_t byte)
    {
        if (capacity_ == length_ && !grow(1)) return false;
        data_[length_++] = byte;
        return true;
    }

    // Room for `count` more bytes after the contents, for a caller that writes
    // them itself and then sets the length; null when the memory cannot be had.
    std::uint8_t* tail(std::size_t count)
    {
        if (capacity_ - length_ < count && !grow(count)) return nullptr;
        return data_ + length_;
    }

    // Takes over memory from malloc() (or null); the buffer frees it with free().
    void adopt(std::uint8_t* data, std::size_t capacity, std::size_t length);
    // Hands the memory to the caller, who must free() it; the buffer is left empty.
    std::uint8_t* detach();

    // A buffer that takes many appends of a growing whole (a document's page
    // contents) grows at least by doubling whatever the global setting says.
    void setGeometricGrowth(bool geometric) { geometric_ = geometric; }

    void release();
    void clear() { length_ = 0; }
    void setLength(std::size_t length) { length_ = length; }
    void swap(ByteBuffer& other) noexcept;

    std::uint8_t* data() { return data_; }
    const std::uint8_t* data() const { return data_; }
    std::size_t capacity() const { return capacity_; }
    std::size_t length() const { return length_; }
    bool empty() const { return length_ == 0; }
    bool allocated() const { return data_ != nullptr; }
    std::string_view view() const
    {
        return {reinterpret_cast<const char*>(data_), length_};
    }

private:
    bool grow(std::size_t extra);

    std::uint8_t* data_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t length_ = 0;
    bool geometric_ = false;
};

}  // namespace tabulon::pdf
