// The check a file name passes before the finished document is written to it,
// and what a failed write says beyond the writer's error text.
#pragma once

#include <string_view>

#include "system_files.h"

namespace tabulon::pdf {

// True when the file part of `path` (after its last "/" or "\", so that a
// Windows path is judged by its name as well) is not empty and holds no control
// character and none of " : * ? < > |, and no NUL byte is anywhere in `path`.
bool isValidFileName(std::string_view path);

// Why a write failed, as a sentence for the user, when the reason is one the
// writer's error text does not tell; empty otherwise.
std::string_view fileWriteReason(FileWrite result);

}  // namespace tabulon::pdf
