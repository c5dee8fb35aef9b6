// Writing the finished file: the name check and a write that is whole or nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tabulon::pdf {

// True when the file part of `path` (after its last "/") is not empty and holds no
// control character and none of " \ / : * ? < > |.
bool isValidFileName(std::string_view path);

// Writes `bytes` to a temporary file beside `path`, flushes it to disk and renames
// it over `path`. On any failure the temporary file is removed, any earlier file at
// `path` is left as it was, and the result is false.
bool writeFileWhole(const std::string& path, std::string_view bytes);
// The same for a file made of pieces, written one after the other.
bool writeFileWhole(const std::string& path, const std::vector<std::string_view>& pieces);

}  // namespace tabulon::pdf
