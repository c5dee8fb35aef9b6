// tabulon-demo: builds the demo's print job, puts it on the clipboard and starts
// tabulon (from this program's own folder first, then from PATH). Ends with 0
// once tabulon runs; the clipboard text outlives it in a detached owner. A demo
// that cannot place the job or start tabulon says why on standard error, takes
// its job off the clipboard again and ends with 1.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>

#include "clipboard_owner.h"
#include "demo_job.h"
#include "process_start.h"
#include "program_paths.h"

namespace {

constexpr const char* kProgram = "tabulon-demo";
// How long to wait for the clipboard owner to hold the text.
constexpr int kClipboardTimeoutMs = 10000;

// Starts the tabulon beside this program, or else the one PATH finds. Returns
// "" once it runs, or why it could not be started.
std::string startTabulon()
{
    const std::string beside = tabulon::platform::ownFolder() + "/tabulon";
    if (access(beside.c_str(), F_OK) == 0) {
        const int error = tabulon::platform::startDetached(beside, {});
        return error == 0 ? std::string() : beside + ": " + std::strerror(error);
    }
    const int error = tabulon::platform::startDetached("tabulon", {});
    if (error == 0) return {};
    if (error == ENOENT) return "not found beside " + tabulon::platform::ownProgramPath() + " or in PATH";
    return std::string("tabulon: ") + std::strerror(error);
}

}  // namespace

int main()
{
    namespace demo = tabulon::demo;
    const std::string logo = demo::findDemoLogo(tabulon::platform::dataFilePlaces(demo::kDemoLogo));
    const std::string job = demo::buildDemoJob(logo);
    // tabulon starts only after the owner holds the text, so it always reads this job.
    const tabulon::platform::ClipboardHandOver handOver =
        tabulon::platform::handTextToClipboardOwner(job, kClipboardTimeoutMs);
    if (!handOver.held) {
        std::cerr << kProgram << ": cannot put the job on the clipboard: " << handOver.problem << '\n';
        return 1;
    }
    if (const std::string problem = startTabulon(); !problem.empty()) {
        tabulon::platform::withdrawClipboardText(handOver);
        std::cerr << kProgram << ": cannot start tabulon: " << problem << '\n';
        return 1;
    }
    return 0;
}
