#include "deflate_compress.h"

#include <zlib.h>

#include <cstdlib>

namespace tabulon::pdf {

bool deflateBuffer(ByteBuffer& buffer)
{
    uLong bound = compressBound(static_cast<uLong>(buffer.length()));
    ByteBuffer compressed;
    if (!compressed.ensureCapacity(bound)) return false;
    uLongf length = compressed.capacity();
    if (compress2(compressed.data(), &length, buffer.data(), static_cast<uLong>(buffer.length()),
                  Z_DEFAULT_COMPRESSION) != Z_OK) {
        return false;
    }
    compressed.setLength(length);
    buffer.swap(compressed);
    return true;
}

}  // namespace tabulon::pdf
