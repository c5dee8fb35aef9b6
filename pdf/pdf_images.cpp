// Placeholder until the picture module lands: pictures are not placed.
#include "pdf_writer.h"

namespace tabulon::pdf {

void PdfWriter::image(const std::string&, float, float, float, float, std::int32_t) {}

void PdfWriter::putImages() {}

}  // namespace tabulon::pdf
