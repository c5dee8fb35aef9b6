// Generated print jobs for property runs: every command with odd fields, bytes
// above 127, unknown words, repeated headers and "eop" anywhere, with the count
// of pages they must give and the texts that must be readable in the PDF.
#pragma once

#include <initializer_list>
#include <random>
#include <string>
#include <vector>

namespace tabulon::test {

struct GeneratedJob {
    std::string text;  // Windows-1252 bytes, lines ended by CR
    int eops = 0;      // page breaks: the PDF has eops + 1 pages
    std::vector<std::string> readableTexts;
};

// Which fonts the jobs' texts ask for.
enum class JobFonts {
    // Arial and Courier New in every style, and unknown letters and styles; Arial
    // in a style the standard fonts lack ("N") and Courier New come from the system.
    Any,
    // Only the standard fonts (Arial as Helvetica, in styles Helvetica has), so that
    // no font comes from the system and the PDF is the same on every system.
    Standard,
};

class JobGenerator {
public:
    // `picturePath` is a picture that exists; the jobs also name pictures that do not.
    JobGenerator(unsigned seed, std::string picturePath, JobFonts fonts = JobFonts::Any);

    GeneratedJob next(int index);

private:
    int between(int low, int high);
    std::string pick(std::initializer_list<const char*> choices);
    std::string odd();
    std::string colour();
    std::string fontLetter(std::initializer_list<const char*> choices);
    std::string fontStyle(std::initializer_list<const char*> choices);
    void readableText(GeneratedJob& job, int index, int line, int row);
    void oddText(GeneratedJob& job);

    std::mt19937 random_;
    std::string picturePath_;
    JobFonts fonts_;
};

}  // namespace tabulon::test
