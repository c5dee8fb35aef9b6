#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "ansi_text.h"
#include "demo_job.h"
#include "job_intake.h"

namespace tabulon::render {
namespace {

std::vector<std::string> linesOf(const render::JobState& job)
{
    std::vector<std::string> lines;
    render::JobLineCursor cursor = job.lines();
    for (std::string_view line; cursor.next(line);) lines.emplace_back(line);
    // Read from the end, the same lines come in the opposite order.
    std::vector<std::string> backwards;
    render::JobLineReverseCursor reverse = job.linesFromEnd();
    for (std::string_view line; reverse.next(line);) backwards.emplace_back(line);
    EXPECT_EQ(std::vector<std::string>(backwards.rbegin(), backwards.rend()), lines);
    return lines;
}

TEST(JobIntake, SplitsHeaderAndStoresEveryLine)
{
    struct Case {
        std::string_view text;
        std::int64_t lineCount;
        std::string documentName;
        std::string orientationCode;
        std::vector<std::string> lines;  // entries 1 to lineCount
    };
    const Case cases[] = {
        {"My_doc,P/*\rtxt/*a\reop/*\r", 3, "My_doc", "P", {"txt/*a", "eop/*", ""}},
        {"My_doc,P/*\rtxt/*a\reop/*", 2, "My_doc", "P", {"txt/*a", "eop/*"}},
        // The character after "/*" is dropped whatever it is.
        {"Doc,L/*Xtxt/*a\rline", 1, "Doc", "L", {"txt/*a"}},
        {"Doc,L,extra/*\ra", 1, "Doc", "L", {"a"}},
        {"Doc/*\ra\rb", 2, "Doc", "", {"a", "b"}},
        {"Doc,/*\ra", 1, "Doc", "", {"a"}},
        // A header under two characters makes the job empty.
        {"P/*\rtxt/*a\r", 2, "", "", {"", ""}},
        {"", 0, "", "", {}},
        {"\r", 1, "", "", {""}},
        // CR LF: every line keeps a leading LF.
        {"D,P/*\r\ntxt/*a\r\neop/*\r\n", 3, "D", "P", {"\ntxt/*a", "\neop/*", "\n"}},
        // No "/*": the header is the whole text and no line follows the cut.
        {"abc\rdef", 1, "abc\rdef", "", {""}},
    };
    // CRs at every place of the eight-byte words the count reads, among bytes
    // that differ from CR in one bit (0x8D, 0x0C, 0x0F).
    std::string words = "L,P/*\r";
    std::vector<std::string> wordLines;
    for (int i = 0; i < 40; ++i) {
        std::string line(static_cast<std::size_t>(i % 11), "\x8D\x0C\x0F"[i % 3]);
        words += line + "\r";
        wordLines.push_back(line);
    }
    wordLines.emplace_back();
    for (const Case& c : cases) {
        render::JobState job = intakeJob(std::string(c.text));
        SCOPED_TRACE(std::string(c.text));
        EXPECT_EQ(job.lineCount, c.lineCount);
        EXPECT_EQ(linesOf(job), c.lines);
        EXPECT_EQ(job.documentName, c.documentName);
        EXPECT_EQ(job.orientationCode, c.orientationCode);
    }
    render::JobState job = intakeJob(words);
    EXPECT_EQ(job.lineCount, 41);
    EXPECT_EQ(linesOf(job), wordLines);

    // Odd headers (CRs before "/*", no CR after it, none at all) with random
    // lines: forwards and backwards must agree (linesOf checks).
    std::mt19937 random(3);
    const char* headers[] = {"D,P/*\r", "D,P/*x", "D\r,P/*\r", "P/*\r", "D,P", "", "\r\r/*"};
    for (int i = 0; i < 2000; ++i) {
        std::string text = headers[random() % std::size(headers)];
        for (int n = static_cast<int>(random() % 6); n > 0; --n) text += std::string(random() % 3, 'a') + "\r";
        if (random() % 2) text += "tail";
        render::JobState odd = intakeJob(text);
        EXPECT_EQ(linesOf(odd).size(), static_cast<std::size_t>(odd.lineCount)) << text;
    }
}

// A job text followed by 2^31 CRs or more: the count does not wrap, so the
// text is still the first line (only the first lines are walked here).
TEST(JobIntake, LineCountsBeyondTwoToThe31KeepTheText)
{
    for (std::int64_t count : {std::int64_t{1} << 31, (std::int64_t{1} << 32) + 1}) {
        render::JobState job;
        job.text = "Doc,P/*\rtxt,A,N,12,10,10,K/*Kept\r\r";
        job.lineStart = 8;
        job.lineCount = count;
        render::JobLineCursor cursor = job.lines();
        std::string_view line;
        ASSERT_TRUE(cursor.next(line)) << count;
        EXPECT_EQ(line, "txt,A,N,12,10,10,K/*Kept");
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(cursor.next(line));
            EXPECT_EQ(line, "");
        }
    }
}

TEST(AnsiText, ConvertsUtf8ToWindows1252WithQuestionMarks)
{
    struct Case {
        std::string_view utf8;
        std::string_view ansi;
    };
    const Case cases[] = {
        {"plain\r", "plain\r"},
        {"Ljung\xC3\xA5", "Ljung\xE5"},
        {"\xE2\x82\xAC 5", "\x80 5"},             // euro sign
        {"\xE2\x80\x9Cq\xE2\x80\x9D", "\x93q\x94"},  // curly quotes
        {"\xC5\xA0\xC5\xBE", "\x8A\x9E"},          // S and z with caron
        {"\xC2\x81", "\x81"},                      // unassigned byte keeps its value
        {"\xC2\x80", "?"},                         // a C1 control the code page replaces
        {"\xE6\x97\xA5", "?"},                     // CJK
        {"\xF0\x9F\x98\x80!", "?!"},               // outside the BMP
        {"\xC3", "?"},                             // truncated
        {"\xFF\xFE", "??"},                        // not UTF-8
        {"\xC0\xAF", "??"},                        // overlong
        {"\xED\xA0\x80", "???"},                   // surrogate
    };
    for (const Case& c : cases) EXPECT_EQ(utf8ToWindows1252(c.utf8), c.ansi) << c.utf8;

    // Long ASCII runs are skipped eight bytes at a time and moved down in place:
    // characters at every offset of those words, and a sequence cut at the end.
    for (std::size_t before = 0; before < 20; ++before) {
        std::string utf8 = std::string(before, 'a') + "\xC3\xA5" + std::string(19 - before, 'b') + "\xE2\x82\xAC" +
                           std::string(before, '\r') + "\xFF" + "\xE2\x82";
        std::string ansi = std::string(before, 'a') + "\xE5" + std::string(19 - before, 'b') + "\x80" +
                           std::string(before, '\r') + "?" + "??";
        EXPECT_EQ(utf8ToWindows1252(utf8), ansi) << before;
        convertUtf8ToWindows1252(utf8);
        EXPECT_EQ(utf8, ansi) << before;
    }
}

TEST(DemoJob, HasFourPagesOf47_47_47_40RowsAndNoLf)
{
    std::string job = demo::buildDemoJob();
    EXPECT_EQ(std::count(job.begin(), job.end(), '\r'), 1141);
    EXPECT_EQ(job.find('\n'), std::string::npos);
    EXPECT_EQ(job.back(), '\r');

    render::JobState state = intakeJob(utf8ToWindows1252(job));
    EXPECT_EQ(state.documentName, "My_doc");
    EXPECT_EQ(state.orientationCode, "P");
    std::vector<int> rowsPerPage(1, 0);
    int headersSeen = 0;
    const std::vector<std::string> lines = linesOf(state);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(state.lineCount));
    for (const std::string& line : lines) {
        if (line == "eop/*") rowsPerPage.push_back(0);
        if (line == "My_doc,P/*") ++headersSeen;
        if (line.rfind("txt,A,N,12,170,", 0) == 0) ++rowsPerPage.back();
    }
    EXPECT_EQ(rowsPerPage, (std::vector<int>{47, 47, 47, 40}));
    EXPECT_EQ(headersSeen, 3);  // repeated after each "eop"
    EXPECT_EQ(lines[0], "txt,A,B,16,10,22,K/*Banking transactions from  Kvarnbanken");
    EXPECT_EQ(lines[2], "txt,A,B,12,10,32/*Acc.");
    EXPECT_NE(job.find("txt,A,N,12,170,267/*46\r"), std::string::npos);
    EXPECT_NE(job.find("txt,A,N,12,170,37/*47\r"), std::string::npos);
    EXPECT_NE(job.find("txt,A,N,12,170,232/*180\r"), std::string::npos);
    EXPECT_EQ(lines.back(), "");
}

TEST(DemoJob, LedgerJobHasTheAskedNumberOfPages)
{
    for (int pages : {1, 2, 30}) {
        std::string job = demo::buildLedgerJob(pages);
        std::size_t eops = 0;
        for (std::size_t at = job.find("\reop/*\r"); at != std::string::npos; at = job.find("\reop/*\r", at + 1)) ++eops;
        EXPECT_EQ(eops + 1, static_cast<std::size_t>(pages));
    }
}

}  // namespace
}  // namespace tabulon::render
