// Opens a written file in the desktop's default viewer.
#pragma once

#include <string>

namespace tabulon::platform {

// Starts the viewer with the file name as its one argument, not waited for. A
// viewer that cannot be started is not reported.
void openInViewer(const std::string& fileName);

}  // namespace tabulon::platform
