// The job as the shell holds it after intake, read by every renderer pass.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tabulon::render {

struct JobState {
    // The number of CR characters in the whole job text, header line included.
    std::int32_t lineCount = 0;
    // Entries 1 to lineCount hold the job lines; entries 0 and lineCount + 1 stay
    // empty, so the table always has lineCount + 2 entries.
    std::vector<std::string> jobLines = std::vector<std::string>(2);
    std::string documentName;
    // "P" portrait, "L" landscape; other codes are passed on as they are.
    std::string orientationCode;
};

}  // namespace tabulon::render
