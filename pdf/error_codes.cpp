#include "error_codes.h"

namespace tabulon::pdf {

std::string_view errorText(std::int32_t code)
{
    switch (code) {
    case kPng16Bit: return "16-bit depth PNG not supported.";
    case kPngAlpha: return "Alpha channel PNG not supported.";
    case kPngCompression: return "Unknown compression PNG method.";
    case kPngFilter: return "Unknown filter PNG method.";
    case kPngInterlace: return "Interlacing PNG not supported.";
    case kPngPalette: return "Missing palette in PNG.";
    case kJpegUnsupported: return "JPEG file is not supported.";
    case kImageOpen: return "Error opening image file.";
    case kImageRead: return "Problem reading image file in memory.";
    case kJfifMissing: return "JFIF marker is missing.";
    case kNotJpeg: return "Not a JPEG file.";
    case kPngIncorrect: return "Incorrect PNG file.";
    case kUnknownImage: return "Not a JPEG or PNG file.";
    case kBadFileName: return "Filename is not correct.";
    case kCreateFile: return "Error creating file.";
    case kFileOpen: return "File open error.";
    case kOutOfMemory: return "Out of memory.";
    case kBookmark: return "Bookmark Error";
    case kTooManyObjects: return "Too many objects for a PDF file.";
    case kTooManyBytes: return "Too many bytes for a PDF file.";
    default: return "";
    }
}

}  // namespace tabulon::pdf
