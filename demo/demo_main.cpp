// tabulon-demo: builds the demo's print job, puts it on the clipboard and starts
// tabulon (the one beside this program first; platform/sibling_program.h says
// where else each system looks). Ends with 0 once tabulon runs; the clipboard
// text outlives the demo (on X11 and Wayland in a detached owner). A demo that
// cannot place the job or start tabulon says why on standard error, takes its
// job off the clipboard again and ends with 1.
#include <iostream>
#include <string>

#include "clipboard_owner.h"
#include "demo_job.h"
#include "program_paths.h"
#include "sibling_program.h"

namespace {

constexpr const char* kProgram = "tabulon-demo";
// How long to wait for the clipboard owner to hold the text: longer than the
// owner waits for a display that does not answer, so that such a display ends
// the owner first and is reported as what it is.
constexpr int kClipboardTimeoutMs = 15000;

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
    if (const std::string problem = tabulon::platform::startSiblingProgram("tabulon"); !problem.empty()) {
        tabulon::platform::withdrawClipboardText(handOver);
        std::cerr << kProgram << ": cannot start tabulon: " << problem << '\n';
        return 1;
    }
    return 0;
}
