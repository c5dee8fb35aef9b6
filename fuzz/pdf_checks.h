// Structural checks on a finished PDF, for the harnesses that produce one: the
// cross-reference table is well formed and each in-use entry points at its own
// object's "n 0 obj" line.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"

namespace tabulon::fuzz {

class PdfLayout {
public:
    // Checks the table and the trailer, aborting on the first fault.
    explicit PdfLayout(std::string_view pdf) : pdf_(pdf)
    {
        require(pdf.starts_with("%PDF-1."), "the file does not start with a PDF header");
        require(pdf.ends_with("startxref\n" + std::to_string(xrefOffset()) + "\n%%EOF\n"),
                "the file does not end with startxref and %%EOF");
        std::size_t at = xrefOffset();
        require(pdf.substr(at, 7) == "xref\n0 ", "startxref does not point at an xref table");
        at += 7;
        std::size_t size = readNumber(at);
        require(size >= 1 && pdf.substr(at, 1) == "\n", "a damaged xref subsection header");
        at += 1;
        require(pdf.substr(at, 20) == "0000000000 65535 f \n", "a damaged first xref entry");
        for (std::size_t n = 1; n < size; ++n) {
            std::string_view entry = pdf.substr(at + 20 * n, 20);
            require(entry.size() == 20 && entry.substr(10) == " 00000 n \n", "a damaged xref entry");
            std::size_t offset = std::strtoull(std::string(entry.substr(0, 10)).c_str(), nullptr, 10);
            std::string head = std::to_string(n) + " 0 obj\n";
            require(offset < at && pdf.substr(offset, head.size()) == head, "an xref offset not at its object");
            require(offset == 0 || pdf[offset - 1] == '\n', "an object that does not start a line");
            offsets_.push_back(offset);
        }
        std::string_view trailer = pdf.substr(at + 20 * size);
        require(trailer.starts_with("trailer\n<<\n/Size " + std::to_string(size) + "\n"),
                "the trailer's size differs from the xref table");
    }

    std::size_t objectCount() const { return offsets_.size(); }

    // The text of object n, from "n 0 obj" to its "endobj".
    std::string_view object(std::size_t n) const
    {
        require(n >= 1 && n <= offsets_.size(), "a reference to an object that is not in the file");
        std::string_view rest = pdf_.substr(offsets_[n - 1]);
        std::size_t end = rest.find("\nendobj\n");
        require(end != std::string_view::npos, "an object without endobj");
        return rest.substr(0, end);
    }

private:
    std::size_t xrefOffset() const
    {
        std::size_t mark = pdf_.rfind("startxref\n");
        require(mark != std::string_view::npos, "no startxref");
        std::size_t at = mark + 10;
        return readNumber(at);
    }

    std::size_t readNumber(std::size_t& at) const
    {
        std::size_t value = 0, start = at;
        while (at < pdf_.size() && pdf_[at] >= '0' && pdf_[at] <= '9' && at - start < 12) {
            value = value * 10 + static_cast<std::size_t>(pdf_[at++] - '0');
        }
        require(at > start, "a number expected in the xref or trailer");
        return value;
    }

    std::string_view pdf_;
    std::vector<std::size_t> offsets_;
};

}  // namespace tabulon::fuzz
