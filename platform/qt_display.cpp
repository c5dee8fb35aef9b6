#include "qt_display.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include <QString>
#include <QtGlobal>

namespace tabulon::platform {

namespace {

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// The display Qt tries to open, for the message.
std::string displayName()
{
    const char* name = isSet("DISPLAY") ? std::getenv("DISPLAY") : std::getenv("WAYLAND_DISPLAY");
    return name != nullptr ? name : "";
}

struct HeldMessage {
    QtMsgType type;
    std::string category;
    QString text;
};

// What the handler needs while the application object is being constructed.
struct StartContext {
    std::string line;  // the message for a failed start
    QtMessageHandler previous = nullptr;
    std::vector<HeldMessage> held;
};
StartContext* gStart = nullptr;

[[noreturn]] void failStart(const std::string& line)
{
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    // Nothing of the half-made application is worth unwinding.
    std::_Exit(1);
}

void holdDuringStart(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        failStart(gStart->line);
    }
    gStart->held.push_back({type, context.category != nullptr ? context.category : "", text});
}

// A display that takes the connection and never answers would hold the start
// for ever: while the application is made, a second thread waits for it and
// ends the process with `line` once kDisplayAnswerSeconds have passed.
class AnswerWatch {
public:
    explicit AnswerWatch(std::string line) : line_(std::move(line)), thread_([this] { watch(); }) {}
    ~AnswerWatch()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    AnswerWatch(const AnswerWatch&) = delete;
    AnswerWatch& operator=(const AnswerWatch&) = delete;

private:
    void watch()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!wake_.wait_for(lock, std::chrono::seconds(kDisplayAnswerSeconds), [this] { return done_; })) {
            failStart(line_);
        }
    }

    std::string line_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;  // last: it starts once the rest is made
};

}  // namespace

std::string missingDisplay()
{
    if (isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM")) {
        return {};
    }
    return "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)";
}

void createApplicationOrExit(std::string_view program, std::string_view advice, const std::function<void()>& create)
{
    const std::string prefix = std::string(program) + ": ";
    const std::string suffix = advice.empty() ? "\n" : "; " + std::string(advice) + "\n";
    if (const std::string missing = missingDisplay(); !missing.empty()) {
        failStart(prefix + missing + suffix);
    }
    const std::string name = displayName();
    StartContext start;
    start.line = prefix + "cannot open the display" + (name.empty() ? "" : " " + name) + suffix;
    gStart = &start;
    start.previous = qInstallMessageHandler(holdDuringStart);
    {
        const std::string late = prefix + "cannot open the display" + (name.empty() ? "" : " " + name) +
                                 ": no answer within " + std::to_string(kDisplayAnswerSeconds) + " s" + suffix;
        const AnswerWatch watch(late);
        create();
    }
    qInstallMessageHandler(start.previous);
    gStart = nullptr;
    for (const HeldMessage& message : start.held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        if (start.previous != nullptr) {
            start.previous(message.type, context, message.text);
        } else {
            std::fprintf(stderr, "%s\n", qPrintable(message.text));
        }
    }
}

}  // namespace tabulon::platform
