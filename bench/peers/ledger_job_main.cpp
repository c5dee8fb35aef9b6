// ledger-job: writes the ledger workload as a print job file.
//   ledger-job PAGES OUT.job [--embedded]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "ledger_job.h"

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4 || (argc == 4 && std::strcmp(argv[3], "--embedded") != 0)) {
        std::fprintf(stderr, "usage: ledger-job PAGES OUT.job [--embedded]\n");
        return 2;
    }
    int pages = std::atoi(argv[1]);
    if (pages < 1) {
        std::fprintf(stderr, "ledger-job: PAGES must be at least 1\n");
        return 2;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    if (!out) {
        std::fprintf(stderr, "ledger-job: cannot create %s\n", argv[2]);
        return 1;
    }
    auto fonts = argc == 4 ? tabulon::bench::LedgerFonts::Embedded : tabulon::bench::LedgerFonts::Core;
    tabulon::bench::writeLedgerJob(out, pages, fonts);
    out.close();
    if (!out) {
        std::fprintf(stderr, "ledger-job: writing %s failed\n", argv[2]);
        return 1;
    }
    return 0;
}
