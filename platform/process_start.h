// Starting other programs: detached (the started program is not our child and
// is never waited for), without a shell, each argument passed as it is.
#pragma once

#include <string>
#include <vector>

namespace tabulon::platform {

// Starts `program` (a path, or a bare name looked up in PATH) with `arguments`.
// Returns 0 once it runs, or the system's error number (ENOENT when it was not
// found) when it could not be started.
int startDetached(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace tabulon::platform
