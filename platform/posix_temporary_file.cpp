#include "posix_temporary_file.h"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <mutex>
#include <vector>

namespace tabulon::pdf {

namespace {

// The temporary files that exist now, where a signal handler can read them: a
// handler may neither allocate nor lock, so the names sit in a fixed table whose
// entries are claimed and published through atomics. A few entries cover the
// saves one program runs at once; a save that finds none free goes unguarded.
constexpr int kSlots = 8;
enum SlotState : int { kFree = 0, kFilling = 1, kArmed = 2 };
struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};
static_assert(std::atomic<int>::is_always_lock_free);
Slot slots[kSlots];

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Removes every temporary file that exists, then lets the signal do what it
// would have done without this handler: end the program, so that its exit
// status still names the signal.
extern "C" void removeTemporariesAndEnd(int signal)
{
    for (Slot& slot : slots) {
        if (slot.state.load() == kArmed) ::unlink(slot.path);
    }
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    ::sigaction(signal, &defaultAction, nullptr);
    ::raise(signal);
}

// Takes over the three signals where they would end the program; a signal the
// program ignores (started under nohup) or handles itself is left as it is.
void guardOnSignals()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int signal : kSignals) {
            struct sigaction current {};
            if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL ||
                (current.sa_flags & SA_SIGINFO) != 0) {
                continue;
            }
            struct sigaction guard {};
            guard.sa_handler = removeTemporariesAndEnd;
            sigemptyset(&guard.sa_mask);
            for (int other : kSignals) sigaddset(&guard.sa_mask, other);
            ::sigaction(signal, &guard, nullptr);
        }
    });
}

// Holds SIGINT, SIGTERM and SIGHUP back in this thread while it lives, so that
// a file and its entry in the table come and go together.
class SignalsHeld {
public:
    SignalsHeld()
    {
        sigset_t held;
        sigemptyset(&held);
        for (int signal : kSignals) sigaddset(&held, signal);
        ::pthread_sigmask(SIG_BLOCK, &held, &before_);
    }
    ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &before_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t before_{};
};

int claimSlot()
{
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (slots[i].state.compare_exchange_strong(expected, kFilling)) return i;
    }
    return -1;
}

}  // namespace

TemporaryFile::TemporaryFile(const std::string& folder)
{
    guardOnSignals();
    path_ = folder + ".tabulon-XXXXXX";
    std::vector<char> pattern(path_.begin(), path_.end());
    pattern.push_back('\0');
    SignalsHeld held;
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) return;
    path_ = pattern.data();
    if (path_.size() < PATH_MAX) slot_ = claimSlot();
    if (slot_ >= 0) {
        std::memcpy(slots[slot_].path, path_.c_str(), path_.size() + 1);
        slots[slot_].state.store(kArmed);
    }
}

TemporaryFile::~TemporaryFile()
{
    if (fd_ < 0) return;
    ::close(fd_);
    SignalsHeld held;
    ::unlink(path_.c_str());
    forget();
}

bool TemporaryFile::moveTo(const std::string& target)
{
    if (fd_ < 0) return false;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    SignalsHeld held;
    const bool moved = closed && ::rename(path_.c_str(), target.c_str()) == 0;
    if (!moved) ::unlink(path_.c_str());
    forget();
    return moved;
}

void TemporaryFile::forget()
{
    if (slot_ >= 0) slots[slot_].state.store(kFree);
    slot_ = -1;
}

}  // namespace tabulon::pdf
