#include "ascii85.h"

namespace tabulon::pdf {

namespace {

class LineWriter {
public:
    explicit LineWriter(std::uint8_t* out) : out_(out) {}
    void put(char c)
    {
        out_[length_++] = static_cast<std::uint8_t>(c);
        if (++column_ == kAscii85LineLength) {
            out_[length_++] = '\n';
            column_ = 0;
        }
    }
    void endMarker()
    {
        if (column_ + 2 > kAscii85LineLength) {
            out_[length_++] = '\n';
            column_ = 0;
        }
        out_[length_++] = '~';
        out_[length_++] = '>';
    }
    std::size_t length() const { return length_; }

private:
    std::uint8_t* out_;
    std::size_t length_ = 0;
    int column_ = 0;
};

void putGroup(LineWriter& writer, std::uint32_t value, int count)
{
    char digits[5];
    for (int i = 4; i >= 0; --i) {
        digits[i] = static_cast<char>('!' + value % 85);
        value /= 85;
    }
    for (int i = 0; i < count; ++i) writer.put(digits[i]);
}

}  // namespace

bool encodeAscii85(std::span<const std::uint8_t> data, ByteBuffer& out)
{
    out.release();
    // Five characters per group, a line feed per 73 characters, the marker and its
    // line feed: sized once for the whole output.
    std::size_t characters = (data.size() / 4 + 1) * 5;
    if (!out.ensureCapacity(characters + characters / kAscii85LineLength + 4)) return false;
    LineWriter writer(out.data());
    std::size_t i = 0;
    for (; i + 4 <= data.size(); i += 4) {
        std::uint32_t value = (static_cast<std::uint32_t>(data[i]) << 24) |
                              (static_cast<std::uint32_t>(data[i + 1]) << 16) |
                              (static_cast<std::uint32_t>(data[i + 2]) << 8) | data[i + 3];
        if (value == 0) {
            writer.put('z');
        } else {
            putGroup(writer, value, 5);
        }
    }
    if (std::size_t rest = data.size() - i; rest > 0) {
        std::uint32_t value = 0;
        for (std::size_t j = 0; j < 4; ++j) {
            value = (value << 8) | (j < rest ? data[i + j] : 0u);
        }
        putGroup(writer, value, static_cast<int>(rest) + 1);
    }
    writer.endMarker();
    out.setLength(writer.length());
    return true;
}

}  // namespace tabulon::pdf
