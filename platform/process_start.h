// Starting other programs: detached (the started program is not our child and
// is never waited for), without a shell, each argument passed as it is.
#pragma once

#include <string>
#include <vector>

namespace tabulon::platform {

// Starts `program` (a path, or a bare name looked up in PATH) with `arguments`.
// False when it could not be started.
bool startDetached(const std::string& program, const std::vector<std::string>& arguments);

// The folder of the running program's file, without a trailing slash.
std::string ownFolder();

}  // namespace tabulon::platform
