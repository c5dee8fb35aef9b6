// Starting the PDF viewer on a written file: the program is looked up in PATH
// and gets the file name as its one argument, blanks and all (no shell is
// involved). The viewer is not waited for and outlives the caller.
#pragma once

#include <string>

namespace tabulon::shell {

// True when the program could be started; false when it was not found or could
// not be run.
bool startViewer(const std::string& program, const std::string& fileName);

}  // namespace tabulon::shell
