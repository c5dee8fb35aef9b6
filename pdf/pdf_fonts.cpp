// Placeholder until the font module lands: fonts are selected but not written.
#include "pdf_writer.h"

namespace tabulon::pdf {

void PdfWriter::setFont(std::string_view family, std::string_view style, std::int32_t size)
{
    (void)style;
    if (size == 0) size = doc_.fontSizePt;
    doc_.fontFamily = family;
    doc_.fontSizePt = size;
    doc_.fontSize = static_cast<float>(size) / doc_.k;
}

double PdfWriter::getStringWidth(std::string_view, bool) const { return 0.0; }

int PdfWriter::addFont(const std::string&, const std::string&, const std::string&) { return 0; }

void PdfWriter::putFonts() {}

}  // namespace tabulon::pdf
