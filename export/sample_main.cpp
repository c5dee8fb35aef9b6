// tabulon-sample: writes a one-page sample PDF with the writer and says where.
#include <cstdio>
#include <string>

#include "pdf_writer.h"

int main(int argc, char** argv)
{
    std::string path = argc > 1 ? argv[1] : "tabulon-sample.pdf";
    tabulon::pdf::PdfWriter writer;
    writer.initialize();
    writer.create("P", "mm", "595.28,841.89");
    writer.addPage("", "");
    writer.setLineWidth(0.5f);
    writer.setDrawColor(0, 0, 255);
    writer.line(10, 28, 100, 28);
    writer.setFillColor(255, 255, 0);
    writer.rect(10, 286, 190, 8, "F");
    writer.save(path);
    if (writer.errorCode() != 0) {
        std::fprintf(stderr, "tabulon-sample: %s: %s\n", path.c_str(), std::string(writer.getErrorText()).c_str());
        return 1;
    }
    std::printf("tabulon-sample: wrote %s\n", path.c_str());
    return 0;
}
