// Opening a file or a program the way Explorer does: the shell's "open" action,
// which starts the program registered for the file's type (a PDF opens in the
// user's PDF program) and also finds programs registered by their name.
#pragma once

#include <optional>
#include <string>

#include <windows.h>

namespace tabulon::platform {

// Opens `name` (ANSI code page) with the shell, messages about it over `owner`.
// Waits only until the shell has handed it over. Nothing when it was opened;
// the system's words for what went wrong when not.
std::optional<std::string> openWithShell(const std::string& name, HWND owner = nullptr);

// The system's text for a Win32 error code, without its final line break.
std::string systemErrorText(DWORD error);

}  // namespace tabulon::platform
