#include "job_intake.h"

#include <algorithm>

namespace tabulon::shell {

namespace {

constexpr char kCr = '\r';
constexpr std::string_view kHeaderEnd = "/*";

}  // namespace

render::JobState intakeJob(std::string jobText)
{
    render::JobState job;
    job.text = std::move(jobText);
    std::string_view text = job.text;
    job.lineCount = static_cast<std::int32_t>(std::count(text.begin(), text.end(), kCr));

    std::string_view header = text.substr(0, text.find(kHeaderEnd));
    // A header this short is no header: every job line stays empty.
    if (header.size() < 2) {
        job.lineStart = text.size();
        return job;
    }

    std::size_t comma = header.find(',');
    job.documentName = std::string(header.substr(0, comma));
    if (comma != std::string_view::npos) {
        std::string_view rest = header.substr(comma + 1);
        job.orientationCode = std::string(rest.substr(0, rest.find(',')));
    }

    // The cut drops the header, its two marker characters and the one character
    // after them, the CR that ends the header line. Nothing checks that it is one.
    // The text after the cut has one CR fewer than the whole text, so its pieces
    // include the text after the last CR (empty when the job ends with a CR).
    job.lineStart = std::min(text.size(), header.size() + kHeaderEnd.size() + 1);
    return job;
}

}  // namespace tabulon::shell
