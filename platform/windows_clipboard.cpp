// Windows: the clipboard keeps its text after the writer ends, so the text is
// placed directly as Unicode text (the system offers it as ANSI text too) and
// no owner process is started. Other programs (clipboard viewers and managers)
// may hold the clipboard open for a moment after it changed; opening it is
// therefore tried again for a while before it counts as failed.
#include <windows.h>

#include <climits>
#include <cstring>

#include "clipboard_owner.h"
#include "windows_clipboard.h"
#include "windows_shell_open.h"

namespace tabulon::platform {

namespace {

// Pause between two attempts to open the clipboard.
constexpr DWORD kRetryPauseMs = 10;
// How long a reader keeps trying to open the clipboard.
constexpr int kReadTimeoutMs = 1000;
// How long withdrawing keeps trying to open the clipboard.
constexpr int kWithdrawTimeoutMs = 1000;

// The clipboard opened with no owner window, closed when this goes.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(int timeoutMs)
    {
        const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs > 0 ? timeoutMs : 0);
        while (!(open_ = OpenClipboard(nullptr) != FALSE)) {
            error_ = GetLastError();
            if (GetTickCount64() >= deadline) break;
            Sleep(kRetryPauseMs);
        }
    }
    ~OpenClipboardScope()
    {
        if (open_) CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;

    bool isOpen() const { return open_; }
    DWORD error() const { return error_; }

private:
    bool open_ = false;
    DWORD error_ = ERROR_SUCCESS;
};

// A movable memory block holding the UTF-8 text as UTF-16 with its terminating
// zero, as the clipboard takes it; null with `problem` set when it cannot be made.
HGLOBAL unicodeBlock(const std::string& utf8Text, std::string& problem)
{
    if (utf8Text.size() > INT_MAX) {
        problem = "the job is too large for the clipboard";
        return nullptr;
    }
    const int size = static_cast<int>(utf8Text.size());
    // Bytes that are not UTF-8 become U+FFFD rather than failing the hand-over.
    const int length = size == 0 ? 0 : MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), size, nullptr, 0);
    if (size != 0 && length <= 0) {
        problem = "the job could not be converted to Unicode: " + systemErrorText(GetLastError());
        return nullptr;
    }
    const SIZE_T bytes = (static_cast<SIZE_T>(length) + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    auto* text = block != nullptr ? static_cast<wchar_t*>(GlobalLock(block)) : nullptr;
    if (text == nullptr) {
        if (block != nullptr) GlobalFree(block);
        problem = "not enough memory for the job (" + std::to_string(bytes) + " bytes)";
        return nullptr;
    }
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), size, text, length);
    text[length] = L'\0';
    GlobalUnlock(block);
    return block;
}

// Empties the clipboard and puts the text on it as Unicode text.
ClipboardHandOver placeUnicodeText(const std::string& utf8Text, int timeoutMs)
{
    ClipboardHandOver result;
    HGLOBAL block = unicodeBlock(utf8Text, result.problem);
    if (block == nullptr) return result;
    const OpenClipboardScope clipboard(timeoutMs);
    if (!clipboard.isOpen()) {
        GlobalFree(block);
        result.problem = "the clipboard could not be opened: " + systemErrorText(clipboard.error());
        return result;
    }
    if (!EmptyClipboard()) {
        GlobalFree(block);
        result.problem = "the clipboard could not be emptied: " + systemErrorText(GetLastError());
        return result;
    }
    if (SetClipboardData(CF_UNICODETEXT, block) == nullptr) {
        GlobalFree(block);  // still ours: the system takes it only on success
        result.problem = "the text could not be put on the clipboard: " + systemErrorText(GetLastError());
        return result;
    }
    result.held = true;
    return result;
}

}  // namespace

ClipboardHandOver handTextToClipboardOwner(const std::string& utf8Text, int timeoutMs)
{
    ClipboardHandOver result = placeUnicodeText(utf8Text, timeoutMs);
    // Read once the clipboard is closed again: closing it adds the other forms
    // the system offers the text in, which counts as a change of its own.
    if (result.held) result.version = GetClipboardSequenceNumber();
    return result;
}

void withdrawClipboardText(const ClipboardHandOver& handOver)
{
    // A number of 0 says the system does not count; then the text cannot be
    // told from another program's, and it stays.
    if (!handOver.held || handOver.version == 0 || GetClipboardSequenceNumber() != handOver.version) return;
    const OpenClipboardScope clipboard(kWithdrawTimeoutMs);
    if (clipboard.isOpen() && GetClipboardSequenceNumber() == handOver.version) {
        EmptyClipboard();
    }
}

std::string readClipboardAnsiText()
{
    const OpenClipboardScope clipboard(kReadTimeoutMs);
    if (!clipboard.isOpen()) return {};
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data == nullptr) return {};
    const auto* bytes = static_cast<const char*>(GlobalLock(data));
    if (bytes == nullptr) return {};
    // Up to the terminating zero, and never past the block when another
    // program's text lacks one.
    std::string text(bytes, strnlen(bytes, GlobalSize(data)));
    GlobalUnlock(data);
    return text;
}

}  // namespace tabulon::platform
