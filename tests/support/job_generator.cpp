#include "job_generator.h"

namespace tabulon::test {

JobGenerator::JobGenerator(unsigned seed, std::string picturePath, JobFonts fonts)
    : random_(seed), picturePath_(std::move(picturePath)), fonts_(fonts)
{
}

GeneratedJob JobGenerator::next(int index)
{
    GeneratedJob job;
    job.text = pick({"Gen,P", "Gen,L", "Gen,P,x", "Gen"}) + std::string("/*\r");
    // A job whose texts name no family keeps the writer's empty one, which the
    // system's fonts would answer: the standard-font jobs name Arial at once.
    if (fonts_ == JobFonts::Standard) job.text += "txt,A,,10,150,10,K/*Arial\r";
    int lines = between(0, 60);
    int row = 0;
    for (int i = 0; i < lines; ++i) {
        switch (between(0, 9)) {
        case 0: case 1: case 2:
            if (row < 25) readableText(job, index, i, row++);
            break;
        case 3: oddText(job); break;
        case 4: job.text += "img," + odd() + "," + odd() + "," + odd() + "," + odd() + "," +
                            pick({"missing.jpg", picturePath_.c_str(), "", "../nowhere/\xE9.png"}) + "/*\r";
            break;
        case 5: job.text += "line," + odd() + "," + odd() + "," + odd() + "," + odd() + "," + colour() + "," +
                            odd() + "/*ignored\r";
            break;
        case 6: job.text += "box," + odd() + "," + odd() + "," + odd() + "," + odd() + "," + colour() + "," +
                            pick({"F", "N", "f", " F", ""}) + "," + odd() + "/*\r";
            break;
        case 7:
            job.text += pick({"eop", "eop/*", "eop/*trailing text", "eop,1,2/*"}) + std::string("\r");
            ++job.eops;
            row = 0;
            break;
        case 8: job.text += pick({"EOP/*", "eop /*", " eop", "Txt,A,B,12,10,10,K/*no", "img", "unknown,1,2,3"}) +
                            std::string("\r");
            break;
        default: job.text += pick({"Gen,P/*", "", "\xC4\xD6\xDC,\xFF/*\xE5", "/*", ",,,,/*,,"}) + std::string("\r");
        }
    }
    return job;
}

int JobGenerator::between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

std::string JobGenerator::pick(std::initializer_list<const char*> choices)
{
    return *(choices.begin() + between(0, static_cast<int>(choices.size()) - 1));
}

std::string JobGenerator::odd()
{
    return pick({"0", "10", "10.5", "-3", "$1F", "%101", " \t7", "abc", "", "99999999999", "1e3", "+4", "-$10"});
}

std::string JobGenerator::colour() { return pick({"K", "R", "B", "Y", "F", "", "k", " K"}); }

// One of the font letters; Courier New becomes Arial for standard-font jobs. The
// draw is the same either way, so that both kinds of job share their other choices.
std::string JobGenerator::fontLetter(std::initializer_list<const char*> choices)
{
    std::string letter = pick(choices);
    if (fonts_ == JobFonts::Standard && letter == "C") letter = "A";
    return letter;
}

// One of the font styles; for standard-font jobs, one that Helvetica has ("N" and
// unknown letters would ask the system for a font of that style).
std::string JobGenerator::fontStyle(std::initializer_list<const char*> choices)
{
    std::string style = pick(choices);
    if (fonts_ == JobFonts::Standard && style != "B" && style != "I" && style != "BU") style = "";
    return style;
}

// A text in the page's left column, one row each, in a colour that shows.
void JobGenerator::readableText(GeneratedJob& job, int index, int line, int row)
{
    std::string word = "Gx" + std::to_string(index) + "q" + std::to_string(line);
    job.text += "txt," + fontLetter({"A", "C", "X"}) + "," + fontStyle({"B", "N", "I", "BU"}) + ",10," +
                pick({"10", "10.5", " 12", "$0A"}) + "," + std::to_string(20 + row * 10) + "," +
                pick({"K", "R", "B", "Y", "", "F"}) + "/*" + word + "\r";
    job.readableTexts.push_back(word);
}

// Odd fields and bytes above 127, kept right of the readable column so that no
// character of theirs falls between a readable text's characters.
void JobGenerator::oddText(GeneratedJob& job)
{
    job.text += "txt," + fontLetter({"A", "C", "", "a"}) + "," + fontStyle({"B", "", "Z"}) + "," +
                pick({"0", "$30", "abc", "7.9", "72", "-2"}) + "," + pick({"$80", "%11111111", " 130", "150.7"}) +
                "," + odd() + "," + colour() + "/*\xE5\xE4\xF6 a,b /* c\x80\xFF\r";
}

}  // namespace tabulon::test
