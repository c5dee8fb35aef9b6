// Clipboard text on X11 and Wayland lives only as long as the program that owns
// it. A producer that ends at once hands its text to a detached owner process,
// which puts it on the clipboard, says so, and serves it until another program
// takes the clipboard. The producer waits for that word before it starts the
// reader, so the reader always finds the producer's text. On Windows the
// clipboard keeps text after its writer ends: the text is placed directly, and
// no owner process is needed.
#pragma once

#include <functional>
#include <string>

namespace tabulon::platform {

// What became of a hand-over.
struct ClipboardHandOver {
    bool held = false;    // the owner holds the text
    long owner = 0;       // the owner's process, while it holds the text
    // Windows: the clipboard's sequence number with the text on it.
    unsigned long version = 0;
    std::string problem;  // why the text is not held, for a message
};

// Places `utf8Text` on the clipboard through a detached owner. It is held once
// the owner has taken the clipboard; it is not when there is no display, or the
// owner could not take the clipboard or gave no answer within `timeoutMs`.
ClipboardHandOver handTextToClipboardOwner(const std::string& utf8Text, int timeoutMs);

// Ends the owner of a hand-over, taking the text off the clipboard again: for a
// producer whose reader could not be started, so that no owner stays behind.
// On Windows the text is taken off only while the clipboard still holds it.
void withdrawClipboardText(const ClipboardHandOver& handOver);

// The owner's side (POSIX: run in the detached process): takes the clipboard, calls
// `nowHeld` once it holds it, then serves until it loses it. When `nowHeld`
// returns false nobody waits for the text any more, and the owner ends at once.
int serveClipboard(const std::string& utf8Text, const std::function<bool()>& nowHeld);

}  // namespace tabulon::platform
