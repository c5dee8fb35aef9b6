#include "windows_shell_open.h"

#include <objbase.h>
#include <shellapi.h>

#include "windows_text.h"

namespace tabulon::platform {

std::string systemErrorText(DWORD error)
{
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
        0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string result = length > 0 && text != nullptr ? std::string(text, length) : std::string();
    if (text != nullptr) LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' ')) {
        result.pop_back();
    }
    return result.empty() ? "error " + std::to_string(error) : result;
}

std::optional<std::string> openWithShell(const std::string& name, HWND owner)
{
    const std::optional<std::wstring> wideName = ansiToWide(name);
    if (!wideName || wideName->empty()) return systemErrorText(ERROR_INVALID_NAME);

    // The shell may hand the file to extensions that need COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    SHELLEXECUTEINFOW request{};
    request.cbSize = sizeof request;
    // No-async: the caller may end right after, before an asynchronous hand-over
    // would have finished. No UI: a failure is the caller's to report.
    request.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    request.hwnd = owner;
    request.lpVerb = L"open";
    request.lpFile = wideName->c_str();
    request.nShow = SW_SHOWNORMAL;
    const bool opened = ShellExecuteExW(&request) != FALSE;
    DWORD error = opened ? ERROR_SUCCESS : GetLastError();
    if (SUCCEEDED(com)) CoUninitialize();
    if (opened) return std::nullopt;
    if (error == ERROR_SUCCESS) {
        // Only the older code of the shell's own: below 32, the same numbers as the
        // system's error codes, except for a file type no program is registered for.
        const auto code = static_cast<DWORD>(reinterpret_cast<INT_PTR>(request.hInstApp));
        error = code == SE_ERR_NOASSOC ? ERROR_NO_ASSOCIATION : code;
    }
    return systemErrorText(error);
}

}  // namespace tabulon::platform
