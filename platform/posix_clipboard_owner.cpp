// POSIX: the owner is a detached process, with standard input and output on
// /dev/null so that it holds none of the producer's pipes open. No threads
// exist before the fork: the Qt application is created only in the owner.
#include <signal.h>
#include <unistd.h>

#include <cstring>

#include "clipboard_owner.h"
#include "detached_run.h"
#include "qt_display.h"

namespace tabulon::platform {

ClipboardHandOver handTextToClipboardOwner(const std::string& utf8Text, int timeoutMs)
{
    ClipboardHandOver result;
    result.problem = missingDisplay();
    if (!result.problem.empty()) {
        return result;
    }
    const DetachedRun run = runDetached(
        [&](ReportLine& line) {
            return serveClipboard(utf8Text, [&] { return line.ready(static_cast<long>(getpid())); });
        },
        DetachedOutput::Discarded, timeoutMs);
    switch (run.outcome) {
    case DetachedRun::Outcome::Ready:
        result.held = true;
        result.owner = run.value;
        result.problem.clear();
        break;
    case DetachedRun::Outcome::Failed:
        result.problem = std::string("the clipboard owner could not be started: ") + std::strerror(run.error);
        break;
    case DetachedRun::Outcome::Closed:
        // The owner ended before it held the clipboard.
        result.problem = "the display could not be opened or the clipboard not taken";
        break;
    case DetachedRun::Outcome::NoAnswer:
        result.problem = "the clipboard owner gave no answer within " + std::to_string(timeoutMs / 1000) + " s";
        break;
    }
    return result;
}

void withdrawClipboardText(const ClipboardHandOver& handOver)
{
    if (handOver.held && handOver.owner > 0) {
        kill(static_cast<pid_t>(handOver.owner), SIGTERM);
    }
}

}  // namespace tabulon::platform
