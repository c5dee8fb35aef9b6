// The property run: a thousand generated jobs through the real tabulon-export
// program. Every run must end with 0 and give a PDF that qpdf and mutool accept
// without a word of complaint and that pdfinfo opens with one page per "eop" plus
// one. Jobs alternate between the two input encodings, and most are compressed.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

#include "child_process.h"
#include "job_generator.h"
#include "pdf_check.h"
#include "pdf_readers.h"

namespace tabulon::test {
namespace {

constexpr int kJobs = 1000;

struct JobFiles {
    std::string job, pdf;
};

// Empty when the job's PDF holds every property, else what failed.
std::string checkOneJob(int index, const GeneratedJob& generated, const JobFiles& files)
{
    ChildOptions export_;
    export_.arguments = {TABULON_EXPORT_PROGRAM, files.job, "-o", files.pdf};
    if (index % 2 == 1) export_.arguments.insert(export_.arguments.begin() + 1, {"--encoding", "cp1252"});
    // Two jobs in three compressed: qpdf checks a deflated file many times faster.
    if (index % 3 != 0) export_.arguments.push_back("--compress");
    ChildResult run = runChild(export_);
    if (run.exitStatus != 0) {
        return "tabulon-export ended with " + std::to_string(run.exitStatus) + ", signal " +
               std::to_string(run.signal) + ": " + run.errors;
    }
    std::string report;
    if (!qpdfAccepts(files.pdf, &report)) return "qpdf --check: " + report;
    if (!mutoolAccepts(files.pdf, &report)) return "mutool: " + report;
    int pages = pdfinfoPages(files.pdf);
    if (pages != generated.eops + 1) {
        return "pdfinfo gives " + std::to_string(pages) + " pages, not " + std::to_string(generated.eops + 1);
    }
    return "";
}

TEST(PropertyRun, ThousandGeneratedJobsGiveValidPdfsWithTheirPages)
{
    JobGenerator generator(20261210, TABULON_LOGO);
    std::vector<GeneratedJob> jobs;
    std::vector<JobFiles> files;
    for (int index = 0; index < kJobs; ++index) {
        jobs.push_back(generator.next(index));
        std::string name = "property-" + std::to_string(index);
        files.push_back({writeTempFile(name + ".txt", jobs.back().text), tempFolder() + "/" + name + ".pdf"});
    }

    // Each job is a handful of short processes that also wait for the disk: one
    // worker more than there are cores keeps them all busy.
    std::atomic<int> next{0};
    std::mutex lock;
    std::vector<std::string> failures;
    auto worker = [&] {
        for (int index = next++; index < kJobs; index = next++) {
            std::string failure = checkOneJob(index, jobs[static_cast<std::size_t>(index)],
                                              files[static_cast<std::size_t>(index)]);
            if (failure.empty()) {
                std::remove(files[static_cast<std::size_t>(index)].job.c_str());
                std::remove(files[static_cast<std::size_t>(index)].pdf.c_str());
                continue;
            }
            std::lock_guard<std::mutex> hold(lock);
            failures.push_back("job " + std::to_string(index) + " (kept in " +
                               files[static_cast<std::size_t>(index)].job + "): " + failure);
        }
    };
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < std::max(2u, std::thread::hardware_concurrency() + 1); ++i) workers.emplace_back(worker);
    for (std::thread& running : workers) running.join();
    for (const std::string& failure : failures) ADD_FAILURE() << failure;
    EXPECT_TRUE(failures.empty()) << failures.size() << " of " << kJobs << " jobs failed";
}

}  // namespace
}  // namespace tabulon::test
