// What the writer needs from the system's files: reading a picture file whole and
// writing the finished document whole or not at all. The platform layer
// implements these for its system; nothing here depends on one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "byte_buffer.h"

namespace tabulon::pdf {

// How a read of a whole file ended.
enum class [[nodiscard]] FileRead {
    kRead,        // all its bytes are in the buffer
    kCannotOpen,  // missing, unreadable, or not a regular file
    kTooBig,      // larger than the limit the caller gave
    kNoMemory,    // no buffer of the file's size could be had
    kShortRead,   // fewer bytes came than the file's size
};

// What tells one file from another whatever path names it ("x", "./x", a link
// to it): its device and its number there (on Windows, its volume and file index).
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t index = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the regular file at `path`; nothing when there is none.
std::optional<FileIdentity> regularFileIdentity(const std::string& path);

// Reads the regular file at `path` into `into` (which is emptied first), with one
// allocation of the file's size; with `identity`, also tells which file was read. Only a regular file is read: a pipe, a device or a
// folder is refused at once, without waiting for data that may never come. A file
// of more than `maxBytes` bytes is refused before anything is allocated. On any
// result but kRead, `into` is left released.
FileRead readRegularFile(const std::string& path, std::size_t maxBytes, ByteBuffer& into,
                         FileIdentity* identity = nullptr);

// How a write of a whole file ended.
enum class [[nodiscard]] FileWrite {
    kWritten,      // the file holds the pieces
    kFailed,       // not written; any earlier file is as it was
    kForeignLink,  // not written: the name is another user's link in a shared sticky folder
};

// Writes the pieces, one after the other, as the file `path`: into a temporary
// file beside it, flushed to disk and renamed over `path` only when complete, so
// that a failed write leaves any earlier file at `path` as it was and no temporary
// file behind, also when SIGINT, SIGTERM or SIGHUP (on Windows a console's Ctrl-C
// or close) ends the program during the write. A link is followed and its target
// replaced, or created when it does not exist, the link kept; in a folder anyone
// may write to that has the sticky bit, another user's link is not followed. The
// new file keeps the mode of the file it replaces. A device or a pipe is written
// in place, and a folder is never replaced.
FileWrite writeFileWhole(const std::string& path, const std::vector<std::string_view>& pieces);

}  // namespace tabulon::pdf
