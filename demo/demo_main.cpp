// tabulon-demo: builds the demo's print job, puts it on the clipboard and starts
// tabulon (from this program's own folder first, then from PATH). Ends with 0
// whatever happens; the clipboard text outlives it in a detached owner.
#include <unistd.h>

#include <string>

#include "clipboard_owner.h"
#include "demo_job.h"
#include "process_start.h"

namespace {

// How long to wait for the clipboard owner to hold the text.
constexpr int kClipboardTimeoutMs = 10000;

void startTabulon()
{
    const std::string beside = tabulon::platform::ownFolder() + "/tabulon";
    if (access(beside.c_str(), X_OK) == 0 && tabulon::platform::startDetached(beside, {})) {
        return;
    }
    (void)tabulon::platform::startDetached("tabulon", {});
}

}  // namespace

int main()
{
    const std::string job = tabulon::demo::buildDemoJob();
    // tabulon starts only after the owner holds the text, so it always reads this job.
    (void)tabulon::platform::handTextToClipboardOwner(job, kClipboardTimeoutMs);
    startTabulon();
    return 0;
}
