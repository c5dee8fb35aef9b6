// The command line every peer program shares: `peer-<lib> PAGES OUT.pdf`. The logo
// is read from kLogoFile in the current folder, as tabulon-export reads the job's
// picture.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tabulon::bench {

struct PeerArgs {
    int pages = 0;
    std::string out;
};

// Reads PAGES and OUT.pdf; prints the usage and returns false when they are missing
// or PAGES is below 1.
inline bool parsePeerArgs(int argc, char** argv, const char* program, PeerArgs& args)
{
    if (argc == 3) {
        args.pages = std::atoi(argv[1]);
        args.out = argv[2];
        if (args.pages >= 1) return true;
    }
    std::fprintf(stderr, "usage: %s PAGES OUT.pdf   (reads printlogo.jpg from the current folder)\n", program);
    return false;
}

}  // namespace tabulon::bench
