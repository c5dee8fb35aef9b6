// Writes generated jobs that use only the standard fonts, as FOLDER/job-1.txt to
// job-COUNT.txt, for the byte comparison of the Windows and Linux exporters
// (scripts/windows-tests.sh). Their pictures are named relative to the folder
// the exporters run in, which holds printlogo.jpg.
#include <fstream>
#include <iostream>
#include <string>

#include "job_generator.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: core_font_jobs COUNT FOLDER\n";
        return 2;
    }
    const int count = std::stoi(argv[1]);
    const std::string folder = argv[2];
    tabulon::test::JobGenerator generator(20240601u, "printlogo.jpg", tabulon::test::JobFonts::Standard);
    for (int index = 1; index <= count; ++index) {
        const std::string path = folder + "/job-" + std::to_string(index) + ".txt";
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        const std::string text = generator.next(index).text;
        if (!file.write(text.data(), static_cast<std::streamsize>(text.size()))) {
            std::cerr << "core_font_jobs: " << path << " not written\n";
            return 1;
        }
    }
    return 0;
}
