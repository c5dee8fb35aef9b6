// Starting a Qt program that needs a display. Without one, Qt ends the process
// with an abort and several lines about platform plugins; a program that needs
// a display says in one line that there is none and ends with status 1.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tabulon::platform {

// Why no display can be opened, known without trying: neither DISPLAY nor
// WAYLAND_DISPLAY is set and QT_QPA_PLATFORM chooses no platform of its own.
// Empty when there is a display to try.
std::string missingDisplay();

// How long a display may take to answer while the application is made.
inline constexpr int kDisplayAnswerSeconds = 10;

// Constructs the program's Qt application object through `create`. When no
// display can be opened, or it gives no answer within kDisplayAnswerSeconds,
// writes "PROGRAM: REASON; ADVICE" as one line on standard error and ends the
// process with status 1; Qt's own messages about the failed start are dropped.
// Messages of a start that succeeds are passed on.
void createApplicationOrExit(std::string_view program, std::string_view advice, const std::function<void()>& create);

}  // namespace tabulon::platform
