// What only the Win32 platform of the desktop programs does: the event queue
// that turns the thread's messages into the main loop's events, and the
// clipboard between tabulon-demo (Unicode text) and tabulon (ANSI bytes).
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "clipboard_owner.h"
#include "win32_event_queue.h"
#include "windows_clipboard.h"

namespace {

using tabulon::platform::Win32EventQueue;
using tabulon::shell::EventKind;
using tabulon::shell::PlatformEvent;

Win32EventQueue* watchingQueue = nullptr;

// The procedure of the stand-in preview window: hands over what the queue takes.
LRESULT CALLBACK forwardToQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (watchingQueue != nullptr && watchingQueue->takeWindowMessage(window, message, wParam, lParam)) return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

// A message-only window: it has a procedure and a place in the thread's queue
// and needs no display.
HWND messageOnlyWindow()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = forwardToQueue;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TabulonTestWindow";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           windowClass.hInstance, nullptr);
}

PlatformEvent keyDown(int virtualKey) { return {EventKind::KeyDown, 0, 0, 0, virtualKey}; }
PlatformEvent gadget(int number, int subtype = 0) { return {EventKind::Gadget, 0, number, subtype, 0}; }
PlatformEvent closeRequest() { return {EventKind::Close, 0, 0, 0, 0}; }

TEST(Win32EventQueue, TurnsTheThreadsMessagesIntoEventsInTheOrderTheyCame)
{
    Win32EventQueue queue;
    watchingQueue = &queue;
    HWND window = messageOnlyWindow();
    HWND otherWindow = messageOnlyWindow();  // the focus may be on a button, not on the window
    ASSERT_NE(window, nullptr);
    ASSERT_NE(otherWindow, nullptr);
    queue.watchWindow(window, 0);
    const auto post = [](HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
        return [=] { PostMessageW(target, message, wParam, lParam); };
    };
    const auto control = reinterpret_cast<LPARAM>(otherWindow);  // a button's handle in WM_COMMAND

    struct Step {
        const char* what;
        std::function<void()> input;
        std::optional<PlatformEvent> expected;  // nothing: the message is no event
    };
    const Step steps[] = {
        {"F6", post(window, WM_KEYDOWN, VK_F6, 0), keyDown(VK_F6)},
        {"its key-up and character", [&] { post(window, WM_KEYUP, VK_F6, 0)(); post(window, WM_CHAR, 'a', 0)(); },
         std::nullopt},
        {"Alt+F4, a system key", post(window, WM_SYSKEYDOWN, VK_F4, 1 << 29), keyDown(VK_F4)},
        {"Escape at another window of the thread", post(otherWindow, WM_KEYDOWN, VK_ESCAPE, 0), keyDown(VK_ESCAPE)},
        {"a posted click comes after what was queued before it", [&] { queue.postGadgetEvent(0, 4, 0); },
         gadget(4)},
        {"a button's click", post(window, WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), control), gadget(3)},
        {"the second click of a double click", post(window, WM_COMMAND, MAKEWPARAM(3, BN_DOUBLECLICKED), control),
         gadget(3)},
        {"a command from no control", post(window, WM_COMMAND, MAKEWPARAM(3, 0), 0), std::nullopt},
        {"a posted event keeps its subtype", [&] { queue.postGadgetEvent(0, 2, 7); }, gadget(2, 7)},
        {"the close request", post(window, WM_CLOSE, 0, 0), closeRequest()},
        {"the request to quit", [] { PostQuitMessage(0); }, closeRequest()},
    };
    for (const Step& step : steps) step.input();
    for (const Step& step : steps) {
        if (!step.expected) continue;
        const PlatformEvent event = queue.waitEvent();
        const PlatformEvent& expected = *step.expected;
        EXPECT_EQ(event.kind, expected.kind) << step.what;
        EXPECT_EQ(event.window, expected.window) << step.what;
        EXPECT_EQ(event.gadget, expected.gadget) << step.what;
        EXPECT_EQ(event.subtype, expected.subtype) << step.what;
        EXPECT_EQ(event.virtualKey, expected.virtualKey) << step.what;
    }

    EXPECT_TRUE(IsWindow(window)) << "a close request leaves the window to the loop";
    queue.closeWindow(0);
    EXPECT_FALSE(IsWindow(window));
    DestroyWindow(otherWindow);
    watchingQueue = nullptr;
}

TEST(WindowsClipboard, HandsUnicodeTextOverAsAnsiBytesAndWithdrawsOnlyItsOwn)
{
    struct Case {
        const char* name;
        std::string job;                   // UTF-8, as the demo builds it
        bool withdraw;                     // the reader could not be started
        std::optional<std::string> later;  // another writer's text before the withdrawal
        std::string read;                  // what the reader gets
    };
    const Case cases[] = {
        {"outside ASCII, in Windows-1252", "Ljung\xC3\xA5 \xE2\x82\xAC", false, std::nullopt, "Ljung\xE5 \x80"},
        {"withdrawn while it is on the clipboard", "job", true, std::nullopt, ""},
        {"another writer's text stays", "job", true, "other", "other"},
    };
    for (const Case& c : cases) {
        const tabulon::platform::ClipboardHandOver handOver = tabulon::platform::handTextToClipboardOwner(c.job, 1000);
        ASSERT_TRUE(handOver.held) << c.name << ": " << handOver.problem;
        if (c.later) {
            ASSERT_TRUE(tabulon::platform::handTextToClipboardOwner(*c.later, 1000).held) << c.name;
        }
        if (c.withdraw) tabulon::platform::withdrawClipboardText(handOver);
        EXPECT_EQ(tabulon::platform::readClipboardAnsiText(), c.read) << c.name;
    }
}

}  // namespace
