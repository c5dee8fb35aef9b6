// Starting other processes detached: the started process is not the caller's
// child, is never waited for and outlives the caller. Programs are started
// without a shell, each argument passed as it is.
#pragma once

#include <string>
#include <vector>

namespace tabulon::platform {

// Starts `program` (a path, or a bare name looked up in PATH; on Windows also
// beside the caller, and an .exe needs no extension) with `arguments`. Its
// standard input reads nothing; its standard output and error are the caller's,
// so that its messages reach whoever started the caller. Returns 0 once it
// runs, or the system's error number (ENOENT when it was not found) when it
// could not be started. On Windows the names are in the ANSI code page.
int startDetached(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace tabulon::platform
