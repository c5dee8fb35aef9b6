// The desktop programs in hostile surroundings: a screen too large to draw, a
// display that takes the connection and never answers, a display that is not
// there, and one large picture named on many lines. Each run ends with its
// status and message, in bounded memory, and leaves no process behind.
#include <gtest/gtest.h>

#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <thread>
#include <vector>

#include <jpeglib.h>

#include "child_process.h"
#include "test_files.h"

namespace tabulon::test {
namespace {

// Displays :87 and :88 are taken to be unused: one gets a socket that listens
// and never answers, the other nothing at all.
constexpr const char* kMuteDisplay = ":87";
constexpr const char* kMuteSocket = "/tmp/.X11-unix/X87";
constexpr const char* kMissingDisplay = ":88";
constexpr const char* kMissingSocket = "/tmp/.X11-unix/X88";

// A local X display socket that takes connections into its backlog and never
// answers them, for as long as it lives.
class MuteDisplay {
public:
    MuteDisplay()
    {
        ::mkdir("/tmp/.X11-unix", 01777);
        ::unlink(kMuteSocket);
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", kMuteSocket);
        listening_ = fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                     ::listen(fd_, 16) == 0;
    }
    ~MuteDisplay()
    {
        if (fd_ >= 0) ::close(fd_);
        ::unlink(kMuteSocket);
    }
    MuteDisplay(const MuteDisplay&) = delete;
    MuteDisplay& operator=(const MuteDisplay&) = delete;
    bool listening() const { return listening_; }

private:
    int fd_ = -1;
    bool listening_ = false;
};

// This test process adopts the orphans of the programs it starts, so that a
// detached process they leave behind can be seen. Waits up to `seconds` for all
// of them to end; those still running then are ended and counted.
int leftoverProcesses(int seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        const pid_t ended = ::waitpid(-1, nullptr, WNOHANG);
        if (ended < 0) return 0;  // no child of any kind is left
        if (ended == 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    int left = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        const std::string status = readFile(entry.path().string() + "/stat");
        // "PID (NAME) STATE PPID ..."; the name may hold spaces, so read after the last ')'.
        const std::size_t close = status.rfind(')');
        if (close == std::string::npos) continue;
        int parent = 0;
        char state = 0;
        if (std::sscanf(status.c_str() + close + 1, " %c %d", &state, &parent) == 2 && parent == ::getpid() &&
            state != 'Z') {
            ++left;
            ::kill(std::stoi(name), SIGKILL);
        }
    }
    while (::waitpid(-1, nullptr, 0) > 0) {
    }
    return left;
}

TEST(DesktopSurroundings, HostileScreensAndDisplaysEndWithAMessageAndLeaveNothing)
{
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    MuteDisplay mute;
    ASSERT_TRUE(mute.listening());
    ::unlink(kMissingSocket);
    const std::string pages = tempFolder() + "/surroundings-pages";
    const std::string display = std::string("DISPLAY=") + kMuteDisplay;
    const std::string noDisplay = std::string("DISPLAY=") + kMissingDisplay;
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        std::vector<std::string> environment;
        int exitStatus;
        std::string message;
    } cases[] = {
        {"a screen of 100,000 pixels a side", {TABULON_EXPORT_PROGRAM, "--demo", "--png", pages, "--screen",
                                               "100000x100000"},
         {}, 2, "tabulon-export: --screen 100000x100000 is too large: at most 16384 pixels a side (see --help)\n"},
        {"page pictures on a display that never answers", {TABULON_EXPORT_PROGRAM, "--demo", "--png", pages},
         {display}, 1,
         "tabulon-export: cannot open the display :87: no answer within 10 s; without DISPLAY the pages are drawn "
         "offscreen\n"},
        {"page pictures on a display that is not there", {TABULON_EXPORT_PROGRAM, "--demo", "--png", pages},
         {noDisplay}, 1, "tabulon-export: cannot open the display :88; without DISPLAY the pages are drawn offscreen\n"},
        {"the demo on a display that never answers", {TABULON_DEMO_PROGRAM}, {display}, 1,
         "tabulon-demo: cannot put the job on the clipboard: the display could not be opened or the clipboard not "
         "taken\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChildOptions options;
        options.arguments = c.arguments;
        options.environment = c.environment;
        for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY"}) options.environment.emplace_back(name);
        options.hangSeconds = 60;
        const ChildResult run = runChild(options);
        EXPECT_EQ(run.signal, 0);
        EXPECT_EQ(run.exitStatus, c.exitStatus);
        EXPECT_EQ(run.errors, c.message);
        EXPECT_LE(run.peakRssKb, 128 * 1024);
        EXPECT_FALSE(std::filesystem::exists(pages + "/page-1.png"));
        // The display's wait is 10 s: whatever was started has ended soon after.
        EXPECT_EQ(leftoverProcesses(15), 0);
    }
    ::prctl(PR_SET_CHILD_SUBREAPER, 0);
}

// A progressive JPEG of 16 x 16 pixels whose frame claims width x height, with
// a comment large enough that the data could hold pictures of that size: the
// decoder fills the rest with grey, at the full cost of the claimed size.
std::string progressiveJpegClaiming(std::uint16_t width, std::uint16_t height)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* bytes = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &bytes, &size);
    info.image_width = 16;
    info.image_height = 16;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(16 * 3);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16 * 3; ++x) row[x] = static_cast<JSAMPLE>(x * 5 + y * 9);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string jpeg(reinterpret_cast<const char*>(bytes), size);
    std::free(bytes);
    const std::size_t frame = jpeg.find("\xFF\xC2");
    if (frame == std::string::npos) return {};
    jpeg[frame + 5] = static_cast<char>(height >> 8), jpeg[frame + 6] = static_cast<char>(height & 0xFF);
    jpeg[frame + 7] = static_cast<char>(width >> 8), jpeg[frame + 8] = static_cast<char>(width & 0xFF);
    const std::string comment = std::string("\xFF\xFE\x27\x12", 4) + std::string(0x2710, 'c');
    return jpeg.substr(0, 2) + comment + jpeg.substr(2);
}

// Fifty lines naming one picture that decodes to 8000 x 8000 pixels cost about
// what one line does: the picture is decoded once, not once per line.
TEST(DesktopSurroundings, APictureNamedOnManyLinesIsDecodedOnce)
{
    const std::string jpeg = progressiveJpegClaiming(8000, 8000);
    ASSERT_FALSE(jpeg.empty());
    writeTempFile("claims-8000.jpg", jpeg);
    struct Run {
        double cpuSeconds;
        long peakRssKb;
    };
    const auto pictures = [&](int lines) {
        std::string job = "Many,P/*\r";
        for (int i = 0; i < lines; ++i) job += "img,10," + std::to_string(10 + i * 5) + ",40,40,claims-8000.jpg/*\r";
        ChildOptions options;
        options.arguments = {TABULON_EXPORT_PROGRAM, writeTempFile("many.txt", job), "--png",
                             tempFolder() + "/many-" + std::to_string(lines)};
        options.workingFolder = tempFolder();
        options.environment = {"QT_QPA_PLATFORM=offscreen"};
        options.hangSeconds = 120;
        const ChildResult run = runChild(options);
        EXPECT_EQ(run.exitStatus, 0) << run.errors;
        EXPECT_TRUE(std::filesystem::exists(tempFolder() + "/many-" + std::to_string(lines) + "/page-1.png"));
        return Run{run.cpuSeconds, run.peakRssKb};
    };
    const Run one = pictures(1);
    const Run fifty = pictures(50);
    std::cout << "one line: " << one.cpuSeconds << " s, " << one.peakRssKb / 1024 << " MiB; fifty lines: "
              << fifty.cpuSeconds << " s, " << fifty.peakRssKb / 1024 << " MiB\n";
    EXPECT_LE(fifty.cpuSeconds, 3 * one.cpuSeconds + 0.5);
    EXPECT_LE(fifty.peakRssKb, one.peakRssKb + 64 * 1024);
}

}  // namespace
}  // namespace tabulon::test
