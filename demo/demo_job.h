// The demo's print job: 181 banking transactions over four pages under a page
// heading that is repeated after every end of page. The text is UTF-8 (the
// city's name has a letter outside ASCII); whoever hands it to tabulon converts
// it to the 8-bit form jobs are read in.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tabulon::demo {

inline constexpr int kDemoRows = 181;
// The logo the heading places, as a file in the current folder.
inline constexpr const char* kDemoLogo = "printlogo.jpg";

// The whole job: the page heading, then six lines per row, every line ended by a
// CR, "eop" and a fresh heading whenever a page is full. No LF anywhere.
std::string buildDemoJob(std::string_view logoFile = kDemoLogo);

// The logo file for the job: the one in the current folder when there is one,
// else the first of `installedCopies` that exists, else the bare name (the
// picture is then left out, as any missing picture is).
std::string findDemoLogo(const std::vector<std::string>& installedCopies);

// The same rows continued over `pages` full pages of 47 rows, for long jobs.
std::string buildLedgerJob(int pages);

}  // namespace tabulon::demo
