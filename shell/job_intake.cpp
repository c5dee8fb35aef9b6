#include "job_intake.h"

#include <algorithm>

namespace tabulon::shell {

namespace {

constexpr char kCr = '\r';
constexpr std::string_view kHeaderEnd = "/*";

}  // namespace

render::JobState intakeJob(std::string_view jobText)
{
    render::JobState job;
    job.lineCount = static_cast<std::int32_t>(std::count(jobText.begin(), jobText.end(), kCr));
    job.jobLines.assign(static_cast<std::size_t>(job.lineCount) + 2, std::string());

    std::string_view header = jobText.substr(0, jobText.find(kHeaderEnd));
    // A header this short is no header: the whole job stays empty.
    if (header.size() < 2) return job;

    std::size_t comma = header.find(',');
    job.documentName = std::string(header.substr(0, comma));
    if (comma != std::string_view::npos) {
        std::string_view rest = header.substr(comma + 1);
        job.orientationCode = std::string(rest.substr(0, rest.find(',')));
    }

    // The cut drops the header, its two marker characters and the one character
    // after them, the CR that ends the header line. Nothing checks that it is one.
    std::size_t cut = std::min(jobText.size(), header.size() + kHeaderEnd.size() + 1);
    std::string_view rest = jobText.substr(cut);

    // The cut text has one CR fewer than the whole text, so this also stores the
    // text after the last CR (empty when the job ends with a CR).
    for (std::int32_t i = 1; i <= job.lineCount; ++i) {
        std::size_t end = rest.find(kCr);
        job.jobLines[static_cast<std::size_t>(i)] = std::string(rest.substr(0, end));
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return job;
}

}  // namespace tabulon::shell
