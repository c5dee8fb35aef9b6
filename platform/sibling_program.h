// Starting another program of this installation, one that lies in the running
// program's folder (the demo starts tabulon), where each system looks for it.
#pragma once

#include <string>
#include <string_view>

namespace tabulon::platform {

// Starts the program named `program` (without a file extension) detached and
// without arguments. POSIX: the file of that name beside the running program
// when there is one, otherwise the one PATH finds. Windows: `program`.exe by
// its bare name, which the system looks for beside the running program first,
// then in the current folder, the system folders and PATH; when that fails,
// through the shell's "open" action, which also knows programs registered by
// their name. Returns "" once it runs, or why it could not be started, for a
// message ("not found beside /opt/bin/tabulon-demo or in PATH").
std::string startSiblingProgram(std::string_view program);

}  // namespace tabulon::platform
