// The demo's print job: 181 banking transactions over four pages under a page
// heading that is repeated after every end of page. The text is UTF-8 (the
// city's name has a letter outside ASCII); whoever hands it to tabulon converts
// it to the 8-bit form jobs are read in.
#pragma once

#include <string>

namespace tabulon::demo {

inline constexpr int kDemoRows = 181;

// The whole job: the page heading, then six lines per row, every line ended by a
// CR, "eop" and a fresh heading whenever a page is full. No LF anywhere.
std::string buildDemoJob();

// The same rows continued over `pages` full pages of 47 rows, for long jobs.
std::string buildLedgerJob(int pages);

}  // namespace tabulon::demo
