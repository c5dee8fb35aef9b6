// tabulon-export: writes a print job as a PDF file without a window.
#include <iostream>

#include "export_command.h"
#include "standard_input.h"
#include "system_fonts.h"

int main(int argc, char** argv)
{
    tabulon::platform::readStandardInputAsBytes();
    std::unique_ptr<tabulon::pdf::FontSource> fonts = tabulon::platform::makeSystemFontSource();
    return tabulon::exporter::exportMain(argc, argv, std::cin, std::cout, std::cerr, fonts.get());
}
