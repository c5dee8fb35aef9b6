#include "gdiplus_pictures.h"

#include <objidl.h>

#include <gdiplus.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "decoded_image.h"
#include "image_bytes.h"
#include "jpeg_header.h"
#include "png_header.h"

namespace tabulon::platform {

namespace {

namespace gp = Gdiplus;
namespace flat = Gdiplus::DllExports;

constexpr std::uint8_t kJpegSignature[] = {0xFF, 0xD8, 0xFF};
constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

bool startsWith(std::span<const std::uint8_t> data, std::span<const std::uint8_t> prefix)
{
    return data.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), data.begin());
}

struct PictureSize {
    std::size_t width = 0;
    std::size_t height = 0;
};

// The size a JPEG's first frame header or a PNG's IHDR claims, when the data can
// hold it: data too short for the picture would have a picture of the claimed
// size filled with nothing. The writer's JPEG reader already refuses such claims
// (every MCU of a scan takes at least a bit); for a PNG, a zlib stream gives at
// most 1032 bytes for each byte it takes, and a row has a filter byte and at least
// one bit per pixel.
std::optional<PictureSize> claimedSize(std::span<const std::uint8_t> data)
{
    PictureSize size;
    if (startsWith(data, kJpegSignature)) {
        const pdf::JpegResult jpeg = pdf::parseJpeg(data);
        if (jpeg.error != 0 || jpeg.header.width <= 0 || jpeg.header.height <= 0) return std::nullopt;
        size = {static_cast<std::size_t>(jpeg.header.width), static_cast<std::size_t>(jpeg.header.height)};
    } else if (startsWith(data, kPngSignature)) {
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        static constexpr std::uint8_t ihdr[] = {'I', 'H', 'D', 'R'};
        if (!startsWith(data.subspan(std::min(data.size(), pdf::kPngIhdrType)), ihdr) ||
            !pdf::readU32BE(data, pdf::kPngIhdrData, width) || !pdf::readU32BE(data, pdf::kPngIhdrData + 4, height)) {
            return std::nullopt;
        }
        size = {width, height};
    } else {
        return std::nullopt;
    }
    const std::size_t pixels = size.width * size.height;
    if (pixels == 0 || pixels > kMaxImagePixels) return std::nullopt;
    if (startsWith(data, kPngSignature) && data.size() * 1032 < size.height * (1 + (size.width + 7) / 8)) {
        return std::nullopt;
    }
    return size;
}

struct StreamRelease {
    void operator()(IStream* stream) const { stream->Release(); }
};
struct ImageDispose {
    void operator()(gp::GpBitmap* bitmap) const { flat::GdipDisposeImage(bitmap); }
};

// The data as a stream in memory of its own, which GDI+ may read from at any time
// until the bitmap made from it goes.
std::unique_ptr<IStream, StreamRelease> streamOf(std::span<const std::uint8_t> data)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, data.size());
    if (!memory) return nullptr;
    void* bytes = GlobalLock(memory);
    if (!bytes) {
        GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(bytes, data.data(), data.size());
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    return std::unique_ptr<IStream, StreamRelease>(stream);
}

}  // namespace

bool allocatePixels(GdiplusPixels& pixels)
{
    try {
        pixels.bgra.assign(static_cast<std::size_t>(pixels.width) * static_cast<std::size_t>(pixels.height) * 4, 0);
        return true;
    } catch (const std::bad_alloc&) {
        pixels.bgra = {};
        return false;
    }
}

std::optional<GdiplusPixels> decodePicture(std::span<const std::uint8_t> data)
{
    const std::optional<PictureSize> claimed = claimedSize(data);
    if (!claimed) return std::nullopt;
    const auto stream = streamOf(data);
    if (!stream) return std::nullopt;
    gp::GpBitmap* decoded = nullptr;
    if (flat::GdipCreateBitmapFromStream(stream.get(), &decoded) != gp::Ok || !decoded) return std::nullopt;
    const std::unique_ptr<gp::GpBitmap, ImageDispose> bitmap(decoded);
    // The decoder's own idea of the size is the one its pixels have: it must
    // keep to the limit too.
    UINT width = 0;
    UINT height = 0;
    if (flat::GdipGetImageWidth(bitmap.get(), &width) != gp::Ok ||
        flat::GdipGetImageHeight(bitmap.get(), &height) != gp::Ok || width == 0 || height == 0 ||
        static_cast<std::size_t>(width) * height > kMaxImagePixels) {
        return std::nullopt;
    }
    GdiplusPixels pixels;
    pixels.width = static_cast<int>(width);
    pixels.height = static_cast<int>(height);
    if (!allocatePixels(pixels)) return std::nullopt;
    // GDI+ converts straight into our rows.
    gp::BitmapData rows{};
    rows.Width = width;
    rows.Height = height;
    rows.Stride = static_cast<INT>(width * 4);
    rows.PixelFormat = PixelFormat32bppPARGB;
    rows.Scan0 = pixels.bgra.data();
    const gp::GpRect all(0, 0, pixels.width, pixels.height);
    if (flat::GdipBitmapLockBits(bitmap.get(), &all, gp::ImageLockModeRead | gp::ImageLockModeUserInputBuf,
                                 PixelFormat32bppPARGB, &rows) != gp::Ok) {
        return std::nullopt;
    }
    flat::GdipBitmapUnlockBits(bitmap.get(), &rows);
    return pixels;
}

HBITMAP decodePictureToBitmap(std::span<const std::uint8_t> data)
{
    const std::optional<GdiplusPixels> pixels = decodePicture(data);
    if (!pixels) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = pixels->width;
    info.bmiHeader.biHeight = -pixels->height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
    std::memcpy(bits, pixels->bgra.data(), pixels->bgra.size());
    return bitmap;
}

}  // namespace tabulon::platform
