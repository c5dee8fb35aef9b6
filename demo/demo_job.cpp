#include "demo_job.h"

#include <array>
#include <filesystem>
#include <string_view>

namespace tabulon::demo {

namespace {

constexpr std::string_view kCr = "\r";
constexpr std::string_view kBankName = "Kvarnbanken";
constexpr std::string_view kStatementDate = "2015-11-06";
constexpr std::string_view kCompanyName = "Morvenda";
constexpr std::string_view kStreet = "Kanalgatan 7";
constexpr std::string_view kCity = "Ljung\xC3\xA5";  // "Ljungå"

// Rows start 37 mm from the top, 5 mm apart; a row past 270 mm starts a new page.
constexpr int kFirstRowY = 37;
constexpr int kRowStep = 5;
constexpr int kLastRowY = 270;
constexpr int kRowsPerPage = (kLastRowY - kFirstRowY) / kRowStep + 1;

std::string pageHeaderBlock(std::string_view logoFile)
{
    std::string block;
    auto line = [&block](std::string_view a, std::string_view b = {}) { block.append(a).append(b).append(kCr); };
    line("My_doc,P/*");
    line("txt,A,B,16,10,22,K/*Banking transactions from  ", kBankName);
    line("txt,A,B,16,125,22,K/*Date:  ", kStatementDate);
    line("txt,A,B,12,10,32/*Acc.");
    line("txt,A,B,12,25,32,K/*Pay_Date");
    line("txt,A,B,12,55,32,K/*Verification");
    line("txt,A,B,12,125,32,K/*Amount");
    line("txt,A,B,12,155,32,K/*Bank");
    line("txt,A,B,12,170,32,K/*Ver_nbr");
    block.append("img,10,5,50,15,").append(logoFile).append("/*").append(kCr);
    line("line,10,28,100,28,B,5/*");
    line("box,10,286,190,8,Y,F,4/*");
    block.append("txt,A,B,12,12,288,F/*Company: ").append(kCompanyName).append("  ").append(kStreet);
    block.append("  ").append(kCity).append(kCr);
    return block;
}

void appendRow(std::string& body, int index, int rowY)
{
    struct Column {
        std::string_view x;
        std::string_view text;
    };
    std::string number = std::to_string(index);
    const std::array<Column, 6> columns = {{
        {"10", "3001"},
        {"25", kStatementDate},
        {"55", "Sales PC software"},
        {"125", "1500,0"},
        {"155", "1930"},
        {"170", number},
    }};
    std::string y = std::to_string(rowY);
    for (const Column& column : columns) {
        body.append("txt,A,N,12,").append(column.x).append(",").append(y).append("/*");
        body.append(column.text).append(kCr);
    }
}

// The heading, then `rows` rows with "eop" and a fresh heading after each full page.
std::string buildRows(int rows, std::string_view logoFile)
{
    const std::string header = pageHeaderBlock(logoFile);
    std::string body;
    body.reserve(header.size() + static_cast<std::size_t>(rows) * 180);
    body.append(header);
    int rowY = kFirstRowY;
    for (int index = 0; index < rows; ++index) {
        appendRow(body, index, rowY);
        rowY += kRowStep;
        if (rowY > kLastRowY) {
            body.append("eop/*").append(kCr).append(header);
            rowY = kFirstRowY;
        }
    }
    return body;
}

}  // namespace

std::string buildDemoJob(std::string_view logoFile) { return buildRows(kDemoRows, logoFile); }

std::string findDemoLogo(const std::vector<std::string>& installedCopies)
{
    std::error_code error;
    if (std::filesystem::exists(kDemoLogo, error)) return kDemoLogo;
    for (const std::string& copy : installedCopies) {
        if (std::filesystem::is_regular_file(copy, error)) return copy;
    }
    return kDemoLogo;
}

std::string buildLedgerJob(int pages)
{
    // The last page is one row short of full, so no "eop" follows it.
    int rows = pages <= 0 ? 0 : pages * kRowsPerPage - 1;
    return buildRows(rows, kDemoLogo);
}

}  // namespace tabulon::demo
