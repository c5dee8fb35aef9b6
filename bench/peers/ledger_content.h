// The ledger workload that every program in the speed comparison writes: a bank
// statement page with a heading, a logo, a rule, a filled footer band, a footer text
// and 47 rows of six columns, continued over any number of pages. One description
// feeds both the job file for tabulon-export and the peer programs, so that every
// program puts the same texts at the same places.
#pragma once

#include <string>
#include <vector>

namespace tabulon::bench {

// Millimetres to points.
inline constexpr double kPointsPerMm = 72.0 / 25.4;

// A4 portrait in points, as the writer sizes it.
inline constexpr double kPageWidthPt = 595.28;
inline constexpr double kPageHeightPt = 841.89;

inline constexpr int kRowsPerPage = 47;
inline constexpr int kFirstRowY = 37;
inline constexpr int kRowStep = 5;

enum class LedgerStyle { Regular, Bold, Italic };

// One text line: position in millimetres from the top-left corner (y is the
// baseline), size in points. `colourLetter` is what the job line carries in its
// colour field ("" writes the line without that field); every text is black.
struct LedgerText {
    int x = 0;
    int y = 0;
    int size = 12;
    LedgerStyle style = LedgerStyle::Regular;
    const char* colourLetter = "";
    std::string text;
};

// Rectangles and the rule, in millimetres from the top-left corner.
struct LedgerBox {
    int x, y, width, height;
};
inline constexpr LedgerBox kLogo{10, 5, 50, 15};
inline constexpr LedgerBox kFooterBand{10, 286, 190, 8};  // filled yellow (255, 255, 0)
struct LedgerRule {
    int x1, y1, x2, y2;
    int widthTenthsMm;
};
inline constexpr LedgerRule kRule{10, 28, 100, 28, 5};  // blue (0, 0, 255)
inline constexpr int kFooterBandOutlineTenthsMm = 4;

inline constexpr const char* kLogoFile = "printlogo.jpg";

// The heading texts drawn before the logo, in drawing order.
std::vector<LedgerText> ledgerHeadingTexts();
// The footer text drawn after the footer band.
LedgerText ledgerFooterText();
// The six texts of row `rowIndex` (counted over the whole document), drawn at
// baseline `y`.
std::vector<LedgerText> ledgerRowTexts(int rowIndex, int y);
// What a full page draws after its heading, logo, rule and footer band: the
// footer text, then the page's rows from `rowIndex` on, which it moves past them.
std::vector<LedgerText> ledgerPageBodyTexts(int& rowIndex);

// The core-font name of a style, for the libraries that select fonts by name.
const char* helveticaName(LedgerStyle style);

}  // namespace tabulon::bench
