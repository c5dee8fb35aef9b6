// Reading the Windows clipboard's text. The writer's side is the clipboard
// owner interface (clipboard_owner.h), implemented in the same file.
#pragma once

#include <string>

namespace tabulon::platform {

// The clipboard's text in the ANSI code page, its bytes as the system gives
// them (converted by the system from Unicode text a writer placed), up to its
// terminating zero. Empty when the clipboard holds no text or cannot be opened.
std::string readClipboardAnsiText();

}  // namespace tabulon::platform
