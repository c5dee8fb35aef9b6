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

class JobGenerator {
public:
    // `picturePath` is a picture that exists; the jobs also name pictures that do not.
    JobGenerator(unsigned seed, std::string picturePath);

    GeneratedJob next(int index);

private:
    int between(int low, int high);
    std::string pick(std::initializer_list<const char*> choices);
    std::string odd();
    std::string colour();
    void readableText(GeneratedJob& job, int index, int line, int row);
    void oddText(GeneratedJob& job);

    std::mt19937 random_;
    std::string picturePath_;
};

}  // namespace tabulon::test
