// The writer's error codes and their texts. The picture readers, the metafile
// converter and the writer all report through these numbers, so a reader needs
// only this header, not the writer.
#pragma once

#include <cstdint>
#include <string_view>

namespace tabulon::pdf {

// Error codes of PdfWriter::errorCode(). Codes up to kUnknownImage concern a
// picture that was left out; from kBadFileName on, the file was not saved.
enum ErrorCode : std::int32_t {
    kNoError = 0,
    kPng16Bit = 1,
    kPngAlpha = 2,
    kPngCompression = 3,
    kPngFilter = 4,
    kPngInterlace = 5,
    kPngPalette = 6,
    kJpegUnsupported = 7,
    kImageOpen = 8,
    kImageRead = 9,
    kJfifMissing = 10,
    kNotJpeg = 11,
    kPngIncorrect = 12,
    kMetafile = 13,
    kUnknownImage = 14,
    kBadFileName = 15,
    kCreateFile = 16,
    kFileOpen = 17,
    kOutOfMemory = 18,
    kBookmark = 19,
    // The document outgrows what a PDF file can hold: more indirect objects than
    // readers accept, or a byte offset beyond the cross-reference table's ten digits.
    kTooManyObjects = 20,
    kTooManyBytes = 21,
};

// The text for an error code, as PdfWriter::getErrorText() returns it; empty for
// kNoError and every number that is no code.
std::string_view errorText(std::int32_t code);

}  // namespace tabulon::pdf
