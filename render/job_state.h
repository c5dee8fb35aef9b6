// The job as the shell holds it after intake, read by every renderer pass.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tabulon::render {

// Walks the job lines 1 to lineCount of a job's line text: line n is the n-th
// CR-separated piece. Once the text runs out, the remaining lines are empty, so
// the walk always yields exactly lineCount lines.
class JobLineCursor {
public:
    JobLineCursor(std::string_view text, std::int32_t lineCount)
        : rest_(text), begin_(text.data()), remaining_(lineCount > 0 ? lineCount : 0)
    {
    }

    // The next line, or false after the last one.
    bool next(std::string_view& line)
    {
        if (remaining_ == 0) return false;
        --remaining_;
        if (exhausted_) {
            line = std::string_view();
            return true;
        }
        std::size_t end = rest_.find('\r');
        if (end == std::string_view::npos) {
            line = rest_;
            rest_.remove_prefix(rest_.size());
            exhausted_ = true;
        } else {
            line = rest_.substr(0, end);
            rest_.remove_prefix(end + 1);
        }
        return true;
    }

    // How many bytes of the line text lie behind the walk.
    std::size_t consumed() const { return static_cast<std::size_t>(rest_.data() - begin_); }

private:
    std::string_view rest_;
    const char* begin_;
    std::int32_t remaining_;
    bool exhausted_ = false;
};

struct JobState {
    // The number of CR characters in the whole job text, header line included.
    std::int32_t lineCount = 0;
    // The job text, held once. The job lines are the text from lineStart on,
    // read through lines(); the header line before it has been taken apart.
    std::string text;
    std::size_t lineStart = 0;
    std::string documentName;
    // "P" portrait, "L" landscape; other codes are passed on as they are.
    std::string orientationCode;

    JobLineCursor lines() const { return JobLineCursor(std::string_view(text).substr(lineStart), lineCount); }
};

}  // namespace tabulon::render
