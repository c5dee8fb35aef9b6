// The writer's files on Windows: reading a picture file whole, and writing the
// finished document through a temporary file beside the target that replaces it
// only when it is complete and on disk. Names come in the ANSI code page, as the
// job gives them.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <iterator>
#include <optional>

#include "system_files.h"
#include "windows_text.h"

namespace tabulon::pdf {

namespace {

using platform::ansiToWide;

// Closes a handle when it goes out of scope.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    // Closes now; false when closing failed.
    bool close()
    {
        if (handle_ == INVALID_HANDLE_VALUE) return true;
        const bool closed = CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

// One ReadFile or WriteFile moves less than 4 GiB; larger spans go in steps.
constexpr std::size_t kMaxStep = std::size_t{1} << 30;

// Reads until `count` bytes are in or the file ends; the number of bytes read.
std::size_t readFully(HANDLE file, std::uint8_t* into, std::size_t count)
{
    std::size_t got = 0;
    while (got < count) {
        DWORD step = 0;
        const auto want = static_cast<DWORD>(std::min(count - got, kMaxStep));
        if (!ReadFile(file, into + got, want, &step, nullptr) || step == 0) break;
        got += step;
    }
    return got;
}

}  // namespace

namespace {

FileIdentity identityOf(const BY_HANDLE_FILE_INFORMATION& information)
{
    return {information.dwVolumeSerialNumber,
            (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
}

}  // namespace

std::optional<FileIdentity> regularFileIdentity(const std::string& path)
{
    const std::optional<std::wstring> name = ansiToWide(path);
    if (!name || name->empty()) return std::nullopt;
    // Opened for its attributes only, as readRegularFile opens it otherwise.
    const FileHandle file(CreateFileW(name->c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      0, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(file.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    return identityOf(information);
}

FileRead readRegularFile(const std::string& path, std::size_t maxBytes, ByteBuffer& into, FileIdentity* identity)
{
    into.release();
    const std::optional<std::wstring> name = ansiToWide(path);
    if (!name || name->empty()) return FileRead::kCannotOpen;
    // Opening never waits: a pipe without a free instance fails at once, and a
    // device (NUL, CON, a pipe that opened) is refused by its type before anything
    // is read. A folder does not open without FILE_FLAG_BACKUP_SEMANTICS.
    const FileHandle file(CreateFileW(name->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK) return FileRead::kCannotOpen;
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return FileRead::kCannotOpen;
    }
    const std::uint64_t size = (std::uint64_t{information.nFileSizeHigh} << 32) | information.nFileSizeLow;
    if (size > maxBytes) return FileRead::kTooBig;
    const auto length = static_cast<std::size_t>(size);
    if (!into.ensureCapacity(length == 0 ? 1 : length)) return FileRead::kNoMemory;
    const std::size_t got = readFully(file.get(), into.data(), length);
    if (got != length) {
        into.release();
        return FileRead::kShortRead;
    }
    into.setLength(got);
    if (identity) *identity = identityOf(information);
    return FileRead::kRead;
}

namespace {

// Pieces are gathered into blocks of this size, so that the many small pieces of
// a document cost few system calls; a piece as large is written straight.
constexpr std::size_t kBlock = std::size_t{64} << 10;

// Writes every byte of `bytes`; false on any failure.
bool writeBytes(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        DWORD written = 0;
        const auto step = static_cast<DWORD>(std::min(bytes.size(), kMaxStep));
        if (!WriteFile(file, bytes.data(), step, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// Writes the pieces in order.
bool writeAll(HANDLE file, const std::vector<std::string_view>& pieces)
{
    char block[kBlock];
    std::size_t used = 0;
    for (std::string_view piece : pieces) {
        if (used + piece.size() > kBlock) {
            if (!writeBytes(file, std::string_view(block, used))) return false;
            used = 0;
        }
        if (piece.size() >= kBlock) {
            if (!writeBytes(file, piece)) return false;
        } else {
            std::copy(piece.begin(), piece.end(), block + used);
            used += piece.size();
        }
    }
    return writeBytes(file, std::string_view(block, used));
}

// Writes into an existing target that is not a disk file (NUL, CON, a pipe): there
// is no earlier content to keep, and it must not be replaced by a file. Nothing
// when the target is a disk file, or does not open for writing (then the write
// through a temporary file finds out what is wrong).
std::optional<bool> writeIntoDevice(const std::wstring& name, const std::vector<std::string_view>& pieces)
{
    FileHandle target(CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!target.valid() || GetFileType(target.get()) == FILE_TYPE_DISK) return std::nullopt;
    const bool written = writeAll(target.get(), pieces);
    return target.close() && written;
}

// The file a name stands for, with links resolved, so that the new file replaces
// the link's target and the link stays.
std::wstring resolveLinks(const std::wstring& name, DWORD attributes)
{
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return name;
    const FileHandle target(CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!target.valid()) return name;
    std::wstring resolved(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = GetFinalPathNameByHandleW(target.get(), resolved.data(),
                                                       static_cast<DWORD>(resolved.size()), VOLUME_NAME_DOS);
        if (length == 0) return name;
        if (length < resolved.size()) {
            resolved.resize(length);
            return resolved;
        }
        resolved.resize(length);  // the size asked for, with its NUL
    }
    return name;
}

// The attributes the new file takes over from the file it replaces.
DWORD attributesForTarget(DWORD existing)
{
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (existing == INVALID_FILE_ATTRIBUTES || (existing & kKept) == 0) return FILE_ATTRIBUTE_NORMAL;
    return existing & kKept;
}

// The temporary file being written, where the console's control handler can
// reach it: that handler runs on a thread of its own while the write goes on.
// One name is kept; a save running while another one is written goes unguarded.
std::atomic<bool> temporaryClaimed{false};
std::atomic<bool> temporaryArmed{false};
wchar_t temporaryName[32768];

// Ctrl-C, Ctrl-Break or closing the console ends the program: the temporary
// file is deleted first (it was opened to allow that, and goes when its handle
// closes), then the next handler, the system's, ends the program as it would.
BOOL WINAPI deleteTemporaryOnExit(DWORD event)
{
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT ||
        event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        if (temporaryArmed.load()) DeleteFileW(temporaryName);
    }
    return FALSE;
}

// Keeps a temporary file's name where deleteTemporaryOnExit finds it, from its
// creation until it was renamed or deleted.
class TemporaryGuard {
public:
    TemporaryGuard()
    {
        static const bool installed = SetConsoleCtrlHandler(deleteTemporaryOnExit, TRUE) != 0;
        (void)installed;
        bool expected = false;
        owner_ = temporaryClaimed.compare_exchange_strong(expected, true);
    }
    ~TemporaryGuard()
    {
        if (!owner_) return;
        temporaryArmed.store(false);
        temporaryClaimed.store(false);
    }
    TemporaryGuard(const TemporaryGuard&) = delete;
    TemporaryGuard& operator=(const TemporaryGuard&) = delete;
    void arm(const std::wstring& name)
    {
        if (!owner_ || name.size() >= std::size(temporaryName)) return;
        std::copy(name.begin(), name.end(), temporaryName);
        temporaryName[name.size()] = L'\0';
        temporaryArmed.store(true);
    }

private:
    bool owner_ = false;
};

// Creates a new file beside `target`, named ".tabulon-" and six letters that
// make it new (short, so that it fits wherever the target's name fits), and
// returns its handle and its name.
HANDLE createTemporary(const std::wstring& target, DWORD attributes, std::wstring& temporary)
{
    static std::atomic<std::uint64_t> counter{0};
    constexpr wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
    const std::size_t cut = target.find_last_of(L"\\/:");
    const std::wstring folder = cut == std::wstring::npos ? std::wstring() : target.substr(0, cut + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::uint64_t seed = (GetTickCount64() << 16) ^ (std::uint64_t{GetCurrentProcessId()} << 40) ^
                             (++counter * 0x9E3779B97F4A7C15ull);
        std::wstring letters(6, L'a');
        for (wchar_t& letter : letters) {
            letter = kLetters[seed % 36];
            seed /= 36;
        }
        temporary = folder + L".tabulon-" + letters;
        // FILE_SHARE_DELETE lets the console's handler delete it while it is open.
        HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                  attributes, nullptr);
        if (file != INVALID_HANDLE_VALUE) return file;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

FileWrite writeFileWhole(const std::string& requested, const std::vector<std::string_view>& pieces)
{
    const std::optional<std::wstring> name = ansiToWide(requested);
    if (!name || name->empty()) return FileWrite::kFailed;
    const DWORD attributes = GetFileAttributesW(name->c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return FileWrite::kFailed;
    }
    if (const std::optional<bool> written = writeIntoDevice(*name, pieces)) {
        return *written ? FileWrite::kWritten : FileWrite::kFailed;
    }

    const std::wstring target = resolveLinks(*name, attributes);
    std::wstring temporary;
    TemporaryGuard guard;
    FileHandle file(createTemporary(target, attributesForTarget(attributes), temporary));
    if (!file.valid()) return FileWrite::kFailed;
    guard.arm(temporary);
    bool ok = writeAll(file.get(), pieces) && FlushFileBuffers(file.get()) != 0;
    ok = file.close() && ok;
    if (ok) {
        ok = MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
    if (!ok) DeleteFileW(temporary.c_str());
    return ok ? FileWrite::kWritten : FileWrite::kFailed;
}

}  // namespace tabulon::pdf
