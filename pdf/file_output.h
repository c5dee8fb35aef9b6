// The check a file name passes before the finished document is written to it.
#pragma once

#include <string_view>

namespace tabulon::pdf {

// True when the file part of `path` (after its last "/" or "\", so that a
// Windows path is judged by its name as well) is not empty and holds no control
// character and none of " : * ? < > |.
bool isValidFileName(std::string_view path);

}  // namespace tabulon::pdf
