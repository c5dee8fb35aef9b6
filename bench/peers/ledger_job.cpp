#include "ledger_job.h"

#include <string>

#include "ledger_content.h"

namespace tabulon::bench {

namespace {

constexpr char kCr = '\r';

const char* styleLetter(LedgerStyle style, LedgerFonts fonts)
{
    switch (style) {
    case LedgerStyle::Bold: return "B";
    case LedgerStyle::Italic: return "I";
    case LedgerStyle::Regular: break;
    }
    return fonts == LedgerFonts::Embedded ? "N" : "";
}

void writeText(std::ostream& out, const LedgerText& t, LedgerFonts fonts)
{
    out << "txt,A," << styleLetter(t.style, fonts) << ',' << t.size << ',' << t.x << ',' << t.y;
    if (*t.colourLetter != '\0') out << ',' << t.colourLetter;
    out << "/*" << t.text << kCr;
}

void writePageHeading(std::ostream& out, LedgerFonts fonts)
{
    out << "My_doc,P/*" << kCr;
    for (const LedgerText& t : ledgerHeadingTexts()) writeText(out, t, fonts);
    out << "img," << kLogo.x << ',' << kLogo.y << ',' << kLogo.width << ',' << kLogo.height << ',' << kLogoFile
        << "/*" << kCr;
    out << "line," << kRule.x1 << ',' << kRule.y1 << ',' << kRule.x2 << ',' << kRule.y2 << ",B,"
        << kRule.widthTenthsMm << "/*" << kCr;
    out << "box," << kFooterBand.x << ',' << kFooterBand.y << ',' << kFooterBand.width << ','
        << kFooterBand.height << ",Y,F," << kFooterBandOutlineTenthsMm << "/*" << kCr;
    writeText(out, ledgerFooterText(), fonts);
}

}  // namespace

void writeLedgerJob(std::ostream& out, int pages, LedgerFonts fonts)
{
    int rowIndex = 0;
    for (int page = 0; page < pages; ++page) {
        if (page > 0) out << "eop/*" << kCr;
        writePageHeading(out, fonts);
        for (int r = 0; r < kRowsPerPage; ++r, ++rowIndex)
            for (const LedgerText& t : ledgerRowTexts(rowIndex, kFirstRowY + r * kRowStep)) writeText(out, t, fonts);
    }
}

}  // namespace tabulon::bench
