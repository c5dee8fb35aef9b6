// Recognises a picture by its first bytes and fills an ImageRecord from it: the
// single entry point from bytes to an embeddable picture, used by PdfWriter::image
// after it has read the file, and callable on its own for any byte span.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "image_bytes.h"
#include "image_record.h"

namespace tabulon::pdf {

// Largest picture file that is read, by the writer and by the preview's
// decoders. Stream lengths and sizes in the writer's records are 32-bit, so a
// bigger file could not be embedded anyway.
inline constexpr std::size_t kMaxImageFileBytes = 0x7FFFFFFF;

// Reads the whole regular file into `record.data`, in a buffer sized to the file
// (see readRegularFile). Returns 0, kImageOpen (cannot open, not a regular file,
// too big, no memory) or kImageRead (fewer bytes than the file size).
std::int32_t readImageFile(const std::string& path, ImageRecord& record);

// Parses `data` and fills the record's filter, size, colour space, decode
// parameters, palette and the bytes to embed (`record.data` is replaced; `data` may
// be the record's own data, which stays valid until the parser is done), and
// `record.damage` for a picture embedded with damaged data. Returns 0 or the error
// code; on failure the record's buffers are released and `message` (when given)
// says what was wrong.
std::int32_t loadImageData(Bytes data, ImageRecord& record, std::string* message = nullptr);

}  // namespace tabulon::pdf
