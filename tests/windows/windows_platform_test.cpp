// The Windows implementations of the platform layer: the writer's files, the
// system's fonts through GDI, and detached starts with their command lines.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <thread>

#include "gdi_font_source.h"
#include "pdf_check.h"
#include "process_start.h"
#include "system_files.h"
#include "windows_command_line.h"

namespace {

namespace fs = std::filesystem;
using tabulon::pdf::FileRead;

// This program, started with this word, records its other arguments and ends.
constexpr const char* kRecordArguments = "--record-arguments";

std::string freshFolder(const std::string& name)
{
    const std::string folder = tabulon::test::tempFolder() + "\\" + name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::set<std::string> entriesOf(const std::string& folder)
{
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

TEST(WindowsFiles, WriteReplacesWholeOrKeepsTheEarlierFileAndLeavesNoTemporaryFile)
{
    enum class Target { New, Old, Unchecked };  // what the target holds afterwards
    struct Case {
        const char* name;
        // Prepares the folder and returns the target; `release` lets go of what
        // the case holds open during the write.
        std::function<std::string(const std::string& folder, std::function<void()>& release)> prepare;
        bool written;
        Target content;
        std::set<std::string> entries;  // the folder's entries afterwards
    };
    const auto earlier = [](const std::string& folder) {
        std::string path = folder + "\\out.pdf";
        std::ofstream(path, std::ios::binary) << "old";
        return path;
    };
    const Case cases[] = {
        {"a new file", [](const std::string& folder, auto&) { return folder + "\\out.pdf"; }, true, Target::New,
         {"out.pdf"}},
        {"an earlier file is replaced", [&](const std::string& folder, auto&) { return earlier(folder); }, true,
         Target::New, {"out.pdf"}},
        {"a folder that does not exist",
         [](const std::string& folder, auto&) { return folder + "\\missing\\out.pdf"; }, false, Target::Unchecked,
         {}},
        {"a folder where the file should be",
         [](const std::string& folder, auto&) {
             fs::create_directory(folder + "\\out.pdf");
             return folder + "\\out.pdf";
         },
         false, Target::Unchecked, {"out.pdf"}},
        // The rename fails after the temporary file was written in full.
        {"an earlier file a reader holds open",
         [&](const std::string& folder, std::function<void()>& release) {
             std::string path = earlier(folder);
             HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr);
             release = [reader] { CloseHandle(reader); };
             return path;
         },
         false, Target::Old, {"out.pdf"}},
        // The temporary file's name does not grow with the target's.
        {"a name of 255 characters",
         [](const std::string& folder, auto&) { return folder + "\\" + std::string(251, 'n') + ".pdf"; }, true,
         Target::New, {std::string(251, 'n') + ".pdf"}},
        {"the NUL device, written in place", [](const std::string&, auto&) { return std::string("NUL"); }, true,
         Target::Unchecked, {}},
    };
    // Small pieces gathered into blocks, an empty one, and one larger than a block.
    const std::string large(200000, 'x');
    std::vector<std::string_view> pieces = {"%PDF", "", large};
    std::string whole = "%PDF" + large;
    for (int i = 0; i < 40000; ++i) pieces.push_back(i % 2 == 0 ? "ab" : "c\n");
    for (int i = 0; i < 20000; ++i) whole += "abc\n";
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = freshFolder("write-" + std::to_string(++index));
        std::function<void()> release = [] {};
        const std::string target = c.prepare(folder, release);
        EXPECT_EQ(tabulon::pdf::writeFileWhole(target, pieces) == tabulon::pdf::FileWrite::kWritten, c.written);
        release();
        if (c.content != Target::Unchecked) {
            EXPECT_TRUE(tabulon::test::readFile(target) == (c.content == Target::New ? whole : "old"));
        }
        EXPECT_EQ(entriesOf(folder), c.entries);
    }
}

// A pipe's server end, listening until the test ends.
class ListeningPipe {
public:
    explicit ListeningPipe(const std::string& name)
        : pipe_(CreateNamedPipeA(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0,
                                 nullptr))
    {
    }
    ~ListeningPipe()
    {
        if (pipe_ != INVALID_HANDLE_VALUE) CloseHandle(pipe_);
    }

private:
    HANDLE pipe_;
};

TEST(WindowsFiles, ReaderTakesOnlyRegularDiskFilesWithoutWaiting)
{
    const std::string folder = freshFolder("read");
    const std::string file = tabulon::test::writeTempFile("read\\picture.jpg", std::string(1000, 'x'));
    const std::string empty = tabulon::test::writeTempFile("read\\empty.jpg", "");
    const std::string pipeName = "\\\\.\\pipe\\tabulon-test-" + std::to_string(GetCurrentProcessId());
    const ListeningPipe pipe(pipeName);
    const struct {
        std::string path;
        std::size_t limit;
        FileRead result;
        std::size_t length;
    } cases[] = {
        {file, 1000, FileRead::kRead, 1000},
        {empty, 1000, FileRead::kRead, 0},
        {file, 999, FileRead::kTooBig, 0},
        {folder, 1000, FileRead::kCannotOpen, 0},
        {folder + "\\missing.jpg", 1000, FileRead::kCannotOpen, 0},
        {"NUL", 1000, FileRead::kCannotOpen, 0},
        {"CON", 1000, FileRead::kCannotOpen, 0},
        {pipeName, 1000, FileRead::kCannotOpen, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        tabulon::pdf::ByteBuffer into;
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(tabulon::pdf::readRegularFile(c.path, c.limit, into), c.result);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
        EXPECT_EQ(into.length(), c.length);
    }
}

TEST(WindowsFonts, GdiFindsTheJobFontsAsSingleTrueTypeFiles)
{
    const struct {
        const char* family;
        std::int32_t styleFlags;
    } cases[] = {{"Arial", 0}, {"Arial", 256 | 512}, {"Courier New", 0}, {"Courier New", 256}};
    tabulon::platform::GdiFontSource fonts;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.family) + " " + std::to_string(c.styleFlags));
        const std::optional<tabulon::pdf::SystemFont> font = fonts.findFont(c.family, c.styleFlags);
        ASSERT_TRUE(font.has_value());
        EXPECT_EQ(font->faceName, c.family);
        ASSERT_GT(font->fileData.size(), 10000u);
        EXPECT_EQ(font->fileData[0] << 24 | font->fileData[1] << 16 | font->fileData[2] << 8 | font->fileData[3],
                  0x00010000);
    }
}

std::vector<std::wstring> splitByWindows(const std::wstring& line)
{
    int count = 0;
    LPWSTR* split = CommandLineToArgvW(line.c_str(), &count);
    std::vector<std::wstring> arguments(split, split + count);
    LocalFree(split);
    return arguments;
}

TEST(WindowsProcesses, CommandLineSplitsBackIntoTheSameArguments)
{
    const std::wstring program = L"C:\\Program Files\\Viewer\\viewer.exe";
    const std::vector<std::vector<std::wstring>> cases = {
        {},
        {L"plain", L"x.pdf"},
        {L""},
        {L"two words", L"tab\there", L"new\nline"},
        {L"a\"b", L"\"", L"\"quoted\""},
        {L"trailing\\", L"with blank\\", L"\\\\server\\share\\"},
        {L"back\\\"quote", L"two\\\\\"quotes", L"\\\\\\"},
        {L"C:\\Users\\Bj\u00f6rn\\My_doc.pdf", L"\u20ac 5"},
    };
    for (const std::vector<std::wstring>& arguments : cases) {
        const std::optional<std::wstring> line = tabulon::platform::windowsCommandLine(program, arguments);
        ASSERT_TRUE(line.has_value());
        std::vector<std::wstring> expected{program};
        expected.insert(expected.end(), arguments.begin(), arguments.end());
        EXPECT_EQ(splitByWindows(*line), expected) << testing::PrintToString(*line);
    }
    EXPECT_FALSE(tabulon::platform::windowsCommandLine(L"a\"b.exe", {}).has_value());
}

TEST(WindowsProcesses, StartDetachedRunsTheProgramWithItsArgumentsOrSaysItIsMissing)
{
    EXPECT_EQ(tabulon::platform::startDetached("tabulon-no-such-program", {"x.pdf"}), ENOENT);
    EXPECT_EQ(tabulon::platform::startDetached("C:\\no\\such\\folder\\viewer.exe", {}), ENOENT);

    // This program records what it was given, without being waited for.
    const std::string record = freshFolder("start") + "\\arguments";
    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, self, sizeof self), 0u);
    const std::vector<std::string> arguments = {"My doc.pdf", "", "a \"quoted\" \\\\ word\\", "\xE5\xE4\xF6"};
    std::vector<std::string> given = {kRecordArguments, record};
    given.insert(given.end(), arguments.begin(), arguments.end());
    ASSERT_EQ(tabulon::platform::startDetached(self, given), 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(record) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::string expected;
    for (const std::string& argument : arguments) expected += argument + '\n';
    EXPECT_EQ(tabulon::test::readFile(record), expected);
}

// Writes the arguments after the record's name, one a line, and moves the file
// into place when complete.
int recordArguments(int argc, char** argv)
{
    const std::string record = argv[2];
    std::string text;
    for (int i = 3; i < argc; ++i) text += std::string(argv[i]) + '\n';
    const std::string partial = record + ".partial";
    {
        std::ofstream out(partial, std::ios::binary);
        out << text;
    }
    return MoveFileExA(partial.c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::string(argv[1]) == kRecordArguments) return recordArguments(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
