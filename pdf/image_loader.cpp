#include "image_loader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "jpeg_header.h"
#include "jpx_header.h"
#include "pdf_writer.h"
#include "png_header.h"
#include "wmf_converter.h"

namespace tabulon::pdf {

namespace {

constexpr std::string_view kDataEndsEarly = "its data ends early";

bool startsWith(Bytes data, std::uint32_t signature)
{
    std::uint32_t first = 0;
    return readU32BE(data, 0, first) && first == signature;
}

std::int32_t fail(ImageRecord& record, std::int32_t error, std::string_view why, std::string* message)
{
    record.data.release();
    record.palette.release();
    if (message != nullptr) *message = why;
    return error;
}

std::int32_t loadJpx(Bytes data, ImageRecord& record, std::string* message)
{
    const JpxResult jpx = parseJpx(data);
    if (jpx.error != 0) return fail(record, jpx.error, jpx.message, message);
    record.filter = "JPXDecode";
    record.bitsPerComponent = 8;
    record.width = jpx.header.width;
    record.height = jpx.header.height;
    record.colorSpace = jpx.header.colorSpace;
    return 0;
}

std::int32_t loadJpeg(Bytes data, ImageRecord& record, std::string* message)
{
    const JpegResult jpeg = parseJpeg(data);
    // The parser's "not supported" is reported as "not a JPEG file".
    if (jpeg.error != 0) return fail(record, kNotJpeg, jpeg.message, message);
    record.filter = "DCTDecode";
    record.bitsPerComponent = jpeg.header.bitsPerComponent;
    record.width = jpeg.header.width;
    record.height = jpeg.header.height;
    record.colorSpace = jpeg.header.colorSpace;
    // A file cut short is embedded whole all the same: what it holds still shows.
    if (jpeg.endsEarly) record.damage = kDataEndsEarly;
    return 0;
}

std::int32_t loadPng(Bytes data, ImageRecord& record, std::string* message)
{
    PngImage png;
    const PngResult result = parsePng(data, png);
    if (result.error != 0) return fail(record, result.error, result.message, message);
    record.filter = "FlateDecode";
    record.width = png.width;
    record.height = png.height;
    record.bitsPerComponent = png.bitsPerComponent;
    record.colorSpace = png.colorSpace;
    record.decodeParms = std::move(png.decodeParms);
    record.palette = std::move(png.palette);
    record.data = std::move(png.data);  // the file's bytes go, only IDAT data stays
    return 0;
}

std::int32_t loadWmf(Bytes data, ImageRecord& record, std::string* message)
{
    WmfForm form;
    const WmfResult result = convertWmf(data, form);
    if (result.error != 0) return fail(record, result.error, result.message, message);
    record.filter = "WMF";
    record.originX = form.originX;
    record.originY = form.originY;
    record.width = form.width;
    record.height = form.height;
    record.data = std::move(form.content);
    return 0;
}

// Opens a picture for reading only when it is a regular file: a job may name a
// pipe, a terminal or a device, whose read would wait for ever or never end.
std::FILE* openRegularFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat status {};
    std::FILE* file = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) ? ::fdopen(fd, "rb") : nullptr;
    if (file == nullptr) ::close(fd);
    return file;
}

}  // namespace

std::int32_t readImageFile(const std::string& path, ImageRecord& record)
{
    std::FILE* file = openRegularFile(path);
    if (file == nullptr) return kImageOpen;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    if (size < 0 || static_cast<unsigned long>(size) > kMaxImageFileBytes || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return kImageOpen;
    }
    record.data.release();
    const auto wanted = static_cast<std::size_t>(size);
    if (!record.data.ensureCapacity(wanted == 0 ? 1 : wanted)) {
        std::fclose(file);
        return kImageOpen;
    }
    const std::size_t got = wanted == 0 ? 0 : std::fread(record.data.data(), 1, wanted, file);
    std::fclose(file);
    record.data.setLength(got);
    if (got != wanted) {
        record.data.release();
        return kImageRead;
    }
    return 0;
}

std::int32_t loadImageData(Bytes data, ImageRecord& record, std::string* message)
{
    record.damage = {};
    if (startsWith(data, 0xFF4FFF51)) return loadJpx(data, record, message);
    if (startsWith(data, 0xFFD8FFE0)) return loadJpeg(data, record, message);
    if (startsWith(data, 0x89504E47)) return loadPng(data, record, message);
    if (startsWith(data, 0xD7CDC69A)) return loadWmf(data, record, message);
    return fail(record, kUnknownImage, "No known picture signature.", message);
}

}  // namespace tabulon::pdf
