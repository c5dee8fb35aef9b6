#include "byte_buffer.h"

#include <cstdlib>
#include <utility>

namespace tabulon::pdf {

namespace {

// A process-wide setting, chosen once before writing starts (a benchmark compares
// the two); no writer changes it, so writers on different threads share only a
// value they read.
BufferGrowth gGrowth = BufferGrowth::Exact;

std::size_t roundUpToStep(std::size_t size)
{
    return (size + kBufferStep - 1) / kBufferStep * kBufferStep;
}

}  // namespace

void setBufferGrowth(BufferGrowth growth) { gGrowth = growth; }
BufferGrowth bufferGrowth() { return gGrowth; }

bool ByteBuffer::ensureCapacity(std::size_t size)
{
    size = roundUpToStep(size);
    if (size == 0) size = kBufferStep;
    auto* memory = static_cast<std::uint8_t*>(std::realloc(data_, size));
    if (memory == nullptr) return false;
    if (data_ == nullptr) length_ = 0;
    data_ = memory;
    capacity_ = size;
    return true;
}

bool ByteBuffer::grow(std::size_t extra)
{
    if (extra > SIZE_MAX / 2 - length_) return false;
    std::size_t needed = length_ + extra;
    if ((geometric_ || gGrowth == BufferGrowth::Geometric) && capacity_ * 2 > needed) needed = capacity_ * 2;
    return ensureCapacity(needed);
}

void ByteBuffer::adopt(std::uint8_t* data, std::size_t capacity, std::size_t length)
{
    release();
    data_ = data;
    capacity_ = capacity;
    length_ = length;
}

std::uint8_t* ByteBuffer::detach()
{
    std::uint8_t* memory = data_;
    data_ = nullptr;
    capacity_ = 0;
    length_ = 0;
    return memory;
}

void ByteBuffer::release()
{
    std::free(data_);
    data_ = nullptr;
    capacity_ = 0;
    length_ = 0;
}

void ByteBuffer::swap(ByteBuffer& other) noexcept
{
    std::swap(data_, other.data_);
    std::swap(capacity_, other.capacity_);
    std::swap(length_, other.length_);
}

}  // namespace tabulon::pdf
