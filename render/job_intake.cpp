#include "job_intake.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace tabulon::render {

namespace {

constexpr char kCr = '\r';
constexpr std::string_view kHeaderEnd = "/*";

// Counts the CR bytes eight at a time: a byte of the word XOR CR is zero exactly
// where the text holds a CR, and the expression below sets the top bit of every
// zero byte and of no other.
std::int64_t countCarriageReturns(std::string_view text)
{
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    constexpr std::uint64_t kCrs = 0x0D0D0D0D0D0D0D0Dull;
    std::int64_t count = 0;
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + at, sizeof word);
        std::uint64_t x = word ^ kCrs;
        std::uint64_t zeroTops = ~(((x & kLow7) + kLow7) | x | kLow7);
        // One bit per CR, at the top of its byte: sum the bytes.
        count += static_cast<std::int64_t>(((zeroTops >> 7) * 0x0101010101010101ull) >> 56);
    }
    for (; at < text.size(); ++at) count += text[at] == kCr;
    return count;
}

}  // namespace

JobState intakeJob(std::string jobText)
{
    JobState job;
    job.text = std::move(jobText);
    std::string_view text = job.text;
    job.lineCount = countCarriageReturns(text);

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

}  // namespace tabulon::render
