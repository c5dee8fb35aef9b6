#include "image_loader.h"

#include "error_codes.h"
#include "jpeg_header.h"
#include "jpx_header.h"
#include "png_header.h"
#include "system_files.h"
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

// A picture embedded as the parser found it, with `filter` to decode its data.
void takeGeometry(ImageRecord& record, std::string_view filter, const PictureGeometry& geometry)
{
    record.filter = filter;
    record.width = geometry.width;
    record.height = geometry.height;
    record.bitsPerComponent = geometry.bitsPerComponent;
    record.colorSpace = geometry.colorSpace;
}

std::int32_t loadJpx(Bytes data, ImageRecord& record, std::string* message)
{
    const JpxResult jpx = parseJpx(data);
    if (jpx.error != 0) return fail(record, jpx.error, jpx.message, message);
    takeGeometry(record, "JPXDecode", jpx.header);
    return 0;
}

std::int32_t loadJpeg(Bytes data, ImageRecord& record, std::string* message)
{
    const JpegResult jpeg = parseJpeg(data);
    // The parser's "not supported" is reported as "not a JPEG file".
    if (jpeg.error != 0) return fail(record, kNotJpeg, jpeg.message, message);
    takeGeometry(record, "DCTDecode", jpeg.header);
    // A file cut short is embedded whole all the same: what it holds still shows.
    if (jpeg.endsEarly) record.damage = kDataEndsEarly;
    // Bytes after the end-of-image marker are no part of the picture.
    if (data.data() == record.data.data() && jpeg.length < record.data.length()) record.data.setLength(jpeg.length);
    return 0;
}

std::int32_t loadPng(Bytes data, ImageRecord& record, std::string* message)
{
    PngImage png;
    const PngResult result = parsePng(data, png);
    if (result.error != 0) return fail(record, result.error, result.message, message);
    takeGeometry(record, "FlateDecode", png);
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

}  // namespace

std::int32_t readImageFile(const std::string& path, ImageRecord& record)
{
    FileIdentity identity;
    switch (readRegularFile(path, kMaxImageFileBytes, record.data, &identity)) {
    case FileRead::kRead:
        record.identity = identity;
        return kNoError;
    case FileRead::kShortRead: return kImageRead;
    case FileRead::kCannotOpen:
    case FileRead::kTooBig:
    case FileRead::kNoMemory: break;
    }
    return kImageOpen;
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
