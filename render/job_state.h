// The job as the shell holds it after intake, read by every renderer pass.
#pragma once

#include <algorithm>
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
    JobLineCursor(std::string_view text, std::int64_t lineCount)
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
    std::int64_t remaining_;
    bool exhausted_ = false;
};

// Walks the same lines as JobLineCursor, from the last to the first. A job's
// line text has `pieceCount` CR-separated pieces; pieces past line lineCount are
// no lines, and lines past the last piece are empty.
class JobLineReverseCursor {
public:
    JobLineReverseCursor(std::string_view text, std::int64_t lineCount, std::int64_t pieceCount)
        : text_(text), end_(text.size()), piece_(pieceCount - 1), line_(lineCount > 0 ? lineCount : 0)
    {
        while (piece_ >= 0 && piece_ >= line_) takePiece();
    }

    // The line before the one given last, or false after the first.
    bool next(std::string_view& line)
    {
        if (line_ == 0) return false;
        --line_;  // the index of the line given now, from 0
        line = line_ > piece_ ? std::string_view() : takePiece();
        return true;
    }

private:
    std::string_view takePiece()
    {
        std::size_t start = piece_ == 0 ? 0 : text_.rfind('\r', end_ - 1) + 1;
        std::string_view piece = text_.substr(start, end_ - start);
        end_ = start == 0 ? 0 : start - 1;
        --piece_;
        return piece;
    }

    std::string_view text_;
    std::size_t end_;       // one past the end of the next piece to take
    std::int64_t piece_;    // the index of the next piece to take
    std::int64_t line_;     // lines still to give
};

struct JobState {
    // The number of CR characters in the whole job text, header line included;
    // 64 bits, as a text of more than 2^31 CRs is only a few gigabytes.
    std::int64_t lineCount = 0;
    // The job text, held once. The job lines are the text from lineStart on,
    // read through lines(); the header line before it has been taken apart.
    std::string text;
    std::size_t lineStart = 0;
    std::string documentName;
    // "P" portrait, "L" landscape; other codes are passed on as they are.
    std::string orientationCode;

    JobLineCursor lines() const { return JobLineCursor(lineText(), lineCount); }
    JobLineReverseCursor linesFromEnd() const
    {
        // The CRs before lineStart end no piece of the line text.
        std::int64_t crsBefore = 0;
        for (std::size_t i = 0; i < lineStart && i < text.size(); ++i) crsBefore += text[i] == '\r';
        return JobLineReverseCursor(lineText(), lineCount, lineCount - crsBefore + 1);
    }
    std::string_view lineText() const { return std::string_view(text).substr(std::min(lineStart, text.size())); }
};

}  // namespace tabulon::render
