// Writes the ledger workload as a print job for tabulon-export.
#pragma once

#include <ostream>

namespace tabulon::bench {

// Which fonts the job's rows ask for. Core: rows have an empty style letter and the
// headings "B" and "I", so every text uses a core font. Embedded: rows carry the
// style letter "N", which is looked up as a font style of its own and so makes the
// writer embed a TrueType font.
enum class LedgerFonts { Core, Embedded };

// Writes `pages` full ledger pages: the header line and page heading, 47 rows, and
// "eop/*" plus the repeated heading between pages. Every line ends with CR; the last
// page has no "eop".
void writeLedgerJob(std::ostream& out, int pages, LedgerFonts fonts);

}  // namespace tabulon::bench
