#include "ledger_content.h"

namespace tabulon::bench {

namespace {

constexpr const char* kBankName = "Kustbanken";
constexpr const char* kStatementDate = "2015-11-06";
constexpr const char* kCompanyName = "Morvenda";
constexpr const char* kStreet = "Hamngatan 4";
constexpr const char* kCity = "Lund";  // plain ASCII so that no encoding differs between programs

LedgerText bold(int size, int x, int y, const char* colour, std::string text)
{
    return LedgerText{x, y, size, LedgerStyle::Bold, colour, std::move(text)};
}

}  // namespace

std::vector<LedgerText> ledgerHeadingTexts()
{
    return {
        bold(16, 10, 22, "K", std::string("Banking transactions from  ") + kBankName),
        bold(16, 125, 22, "K", std::string("Date:  ") + kStatementDate),
        bold(12, 10, 32, "", "Acc."),
        bold(12, 25, 32, "K", "Pay_Date"),
        bold(12, 55, 32, "K", "Verification"),
        bold(12, 125, 32, "K", "Amount"),
        bold(12, 155, 32, "K", "Bank"),
        bold(12, 170, 32, "K", "Ver_nbr"),
    };
}

LedgerText ledgerFooterText()
{
    std::string text = std::string("Company: ") + kCompanyName + "  " + kStreet + "  " + kCity;
    return LedgerText{12, 288, 12, LedgerStyle::Italic, "F", std::move(text)};
}

std::vector<LedgerText> ledgerRowTexts(int rowIndex, int y)
{
    const int columns[6] = {10, 25, 55, 125, 155, 170};
    const std::string values[6] = {"3001", kStatementDate, "Sales PC software", "1500,0", "1930",
                                   std::to_string(rowIndex)};
    std::vector<LedgerText> row;
    row.reserve(6);
    for (int i = 0; i < 6; ++i) row.push_back(LedgerText{columns[i], y, 12, LedgerStyle::Regular, "", values[i]});
    return row;
}

std::vector<LedgerText> ledgerPageBodyTexts(int& rowIndex)
{
    std::vector<LedgerText> body{ledgerFooterText()};
    for (int r = 0; r < kRowsPerPage; ++r, ++rowIndex)
        for (LedgerText& t : ledgerRowTexts(rowIndex, kFirstRowY + r * kRowStep)) body.push_back(std::move(t));
    return body;
}

const char* helveticaName(LedgerStyle style)
{
    switch (style) {
    case LedgerStyle::Bold: return "Helvetica-Bold";
    case LedgerStyle::Italic: return "Helvetica-Oblique";
    case LedgerStyle::Regular: break;
    }
    return "Helvetica";
}

}  // namespace tabulon::bench
