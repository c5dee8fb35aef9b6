// The job checker: reads a job the way every renderer pass reads it and reports,
// line by line, what will not draw as it seems to ask (warnings) and what is
// skipped as the format intends (notes). It draws nothing: the only outside
// thing it touches is each picture file, which it hands to a PDF writer of its
// own exactly as the PDF export does, to learn whether it can be embedded.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "job_state.h"

namespace tabulon::render {

enum class FindingKind { Warning, Note };

struct JobFinding {
    std::int64_t line = 0;  // the job's CR-separated line, from 1 (the header line)
    FindingKind kind = FindingKind::Warning;
    std::string text;
    bool operator==(const JobFinding&) const = default;
};

// The findings for a job taken in by intakeJob, in line order. Picture files
// named by relative names are looked up from the current folder, as the
// renderer does.
std::vector<JobFinding> checkJob(const JobState& job);

// The findings for the UTF-8 text a job is converted from: each line that holds
// characters the 8-bit job cannot keep (they become "?").
std::vector<JobFinding> checkUtf8Text(std::string_view utf8);

// A field as a message quotes it: at most 40 characters, control characters
// and bytes without a printable Windows-1252 character as \xNN, the letters
// from 0xA0 on as UTF-8.
std::string quotedField(std::string_view field);

}  // namespace tabulon::render
