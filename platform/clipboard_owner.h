// Clipboard text on X11 and Wayland lives only as long as the program that owns
// it. A producer that ends at once hands its text to a detached owner process,
// which puts it on the clipboard, says so, and serves it until another program
// takes the clipboard. The producer waits for that word before it starts the
// reader, so the reader always finds the producer's text.
#pragma once

#include <string>

namespace tabulon::platform {

// Places `utf8Text` on the clipboard through a detached owner. True once the
// owner holds the clipboard; false when it could not (no display, or no answer
// within `timeoutMs`).
bool handTextToClipboardOwner(const std::string& utf8Text, int timeoutMs);

// The owner's side (run in the detached process): takes the clipboard, writes
// one byte to `readyFd` when it holds it, then serves until it loses it.
int serveClipboard(const std::string& utf8Text, int readyFd);

}  // namespace tabulon::platform
