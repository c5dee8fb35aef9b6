// Windows: CreateProcessW, and no wait. A process on Windows is nobody's child
// to reap and outlives its starter by itself; it gets a process group of its own,
// so that Ctrl+C in the starter's console does not end it too. It inherits
// exactly three handles: NUL as standard input, and the starter's standard
// output and error.
#include <windows.h>

#include <cerrno>
#include <memory>

#include "process_start.h"
#include "windows_command_line.h"
#include "windows_text.h"

namespace tabulon::platform {

namespace {

// The longest command line CreateProcessW takes, with its closing NUL.
constexpr std::size_t kMaxCommandLine = 32767;

void appendArgument(std::wstring& line, const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    // Backslashes are literal except in a run before a quote, where each pair
    // stands for one backslash and an odd one for the quote itself.
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        line += c;
        backslashes = 0;
    }
    line.append(backslashes * 2, L'\\');  // before the closing quote
    line += L'"';
}

// The system's error number for a failed start, so that messages read as they do
// on POSIX systems.
int errorNumberFor(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_DIRECTORY:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_EXE_MACHINE_TYPE_MISMATCH:
        return ENOEXEC;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    default:
        return EINVAL;
    }
}

// The handles the started process inherits: NUL as standard input and copies of
// this process's standard output and error (where it has them), made
// inheritable and named in an attribute list, so that no other inheritable
// handle of this process leaks into the started one.
class InheritedHandles {
public:
    InheritedHandles()
    {
        SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        input_ = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (input_ == INVALID_HANDLE_VALUE) input_ = nullptr;
        output_ = inheritableCopy(GetStdHandle(STD_OUTPUT_HANDLE));
        errors_ = inheritableCopy(GetStdHandle(STD_ERROR_HANDLE));
        for (HANDLE handle : {input_, output_, errors_}) {
            if (handle != nullptr) list_[count_++] = handle;
        }
        if (count_ == 0) return;
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        storage_ = std::make_unique<char[]>(size);
        auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.get());
        if (!InitializeProcThreadAttributeList(attributes, 1, 0, &size)) return;
        attributes_ = attributes;
        if (!UpdateProcThreadAttribute(attributes_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, list_,
                                       count_ * sizeof(HANDLE), nullptr, nullptr)) {
            DeleteProcThreadAttributeList(attributes_);
            attributes_ = nullptr;
        }
    }

    ~InheritedHandles()
    {
        if (attributes_ != nullptr) DeleteProcThreadAttributeList(attributes_);
        for (std::size_t i = 0; i < count_; ++i) CloseHandle(list_[i]);
    }

    InheritedHandles(const InheritedHandles&) = delete;
    InheritedHandles& operator=(const InheritedHandles&) = delete;

    // Fills in the start-up information; false when nothing can be handed on
    // (the process then starts with no standard handles of the starter's).
    bool apply(STARTUPINFOEXW& startup) const
    {
        if (attributes_ == nullptr) return false;
        startup.StartupInfo.dwFlags |= STARTF_USESTDHANDLES;
        startup.StartupInfo.hStdInput = input_;
        startup.StartupInfo.hStdOutput = output_;
        startup.StartupInfo.hStdError = errors_;
        startup.lpAttributeList = attributes_;
        return true;
    }

private:
    static HANDLE inheritableCopy(HANDLE handle)
    {
        HANDLE copy = nullptr;
        if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
            !DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS)) {
            return nullptr;
        }
        return copy;
    }

    HANDLE input_ = nullptr;
    HANDLE output_ = nullptr;
    HANDLE errors_ = nullptr;
    HANDLE list_[3] = {};
    std::size_t count_ = 0;
    std::unique_ptr<char[]> storage_;
    LPPROC_THREAD_ATTRIBUTE_LIST attributes_ = nullptr;
};

}  // namespace

std::optional<std::wstring> windowsCommandLine(const std::wstring& program, const std::vector<std::wstring>& arguments)
{
    // The program's name ends at the first quote after the opening one, whatever
    // comes before it.
    if (program.empty() || program.find(L'"') != std::wstring::npos) return std::nullopt;
    std::wstring line = L"\"" + program + L"\"";
    for (const std::wstring& argument : arguments) {
        line += L' ';
        appendArgument(line, argument);
    }
    return line;
}

int startDetached(const std::string& program, const std::vector<std::string>& arguments)
{
    const std::optional<std::wstring> wideProgram = ansiToWide(program);
    if (!wideProgram) return EINVAL;
    std::vector<std::wstring> wideArguments;
    for (const std::string& argument : arguments) {
        std::optional<std::wstring> wide = ansiToWide(argument);
        if (!wide) return EINVAL;
        wideArguments.push_back(std::move(*wide));
    }
    // No file is named "" or holds a quote.
    std::optional<std::wstring> line = windowsCommandLine(*wideProgram, wideArguments);
    if (!line) return ENOENT;
    if (line->size() >= kMaxCommandLine) return E2BIG;

    const InheritedHandles handles;
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    const bool inherit = handles.apply(startup);
    PROCESS_INFORMATION process{};
    // Without an application name, CreateProcessW looks for the program the way
    // a command line does: beside this program, in the current folder, in the
    // system folders and in PATH, adding ".exe" to a name without an extension.
    if (!CreateProcessW(nullptr, line->data(), nullptr, nullptr, inherit ? TRUE : FALSE,
                        CREATE_NEW_PROCESS_GROUP | EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr,
                        &startup.StartupInfo, &process)) {
        return errorNumberFor(GetLastError());
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

}  // namespace tabulon::platform
