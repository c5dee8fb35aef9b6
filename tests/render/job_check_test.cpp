#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "job_check.h"
#include "job_intake.h"

namespace tabulon::render {
namespace {

struct Expected {
    std::int64_t line;
    FindingKind kind;
    std::string phrase;  // a part of the finding's text
};

std::string describe(const std::vector<JobFinding>& findings)
{
    std::string text;
    for (const JobFinding& f : findings) {
        text += std::to_string(f.line) + (f.kind == FindingKind::Warning ? " warning: " : " note: ") + f.text + "\n";
    }
    return text;
}

void expectFindings(const std::string& job, const std::vector<Expected>& expected)
{
    const std::vector<JobFinding> found = checkJob(intakeJob(job));
    ASSERT_EQ(found.size(), expected.size()) << job << "\n" << describe(found);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(found[i].line, expected[i].line) << job << "\n" << describe(found);
        EXPECT_EQ(found[i].kind, expected[i].kind) << job << "\n" << describe(found);
        EXPECT_NE(found[i].text.find(expected[i].phrase), std::string::npos) << job << "\n" << describe(found);
    }
}

constexpr auto W = FindingKind::Warning;
constexpr auto N = FindingKind::Note;

// One job line after a sound header and a line that sets every colour and the
// font, so that each row shows the findings of its own line only (line 4).
TEST(JobCheck, FindsWhatEachLineDrawsDifferentlyOrSkips)
{
    const std::string start = "Doc,P/*\rtxt,A,B,12,10,10,K/*a\rline,1,2,3,4,K,5/*\rbox,1,2,3,4,K,F/*\r";
    struct Case {
        std::string line;
        std::vector<Expected> findings;
    };
    const std::string logo = TABULON_LOGO;
    const std::vector<Case> cases = {
        // Sound lines: nothing to say.
        {"txt,A,N,12,10,32/*keeps the colour", {}},
        {"txt,C,B,12, 10,32,R/*a, b /* c", {}},
        {"line,10.5,28,100,28.25,B,5/*", {}},
        {"box,10,286,190,8,Y,F,4/*", {}},
        {"box,10,20,30,40,K,,2/*", {}},
        {"box,10.0,20,30,40,K,F/*", {}},
        {"img,10,5,50,15," + logo + "/*", {}},
        // Skipped as the format intends.
        {"Doc,P/*", {{5, N, "header line again"}}},
        {"note,1,2/*", {{5, N, "'note' is no command"}}},
        {"/*just text", {{5, N, "no command word"}}},
        {"", {{5, N, "empty line"}}},
        // Command words that are nearly commands.
        {"TXT,A,B,12,10,32,K/*x", {{5, W, "write 'txt'"}}},
        {" box,1,2,3,4,K/*", {{5, W, "write 'box'"}}},
        // Numbers.
        {"txt,A,B,12,10.5,32/*x", {{5, W, "reads as 10 on the preview and the printer but as 10.5 in the PDF"}}},
        {"box,$10,2,3,4,K,F/*", {{5, W, "reads as 16 on the preview and the printer but as 0 in the PDF"}}},
        {"txt,A,B,12.5,10,32/*x", {{5, W, "size (field 4) '12.5' is read as the whole number 12"}}},
        {"line,1,2,3,4,K,2.5/*", {{5, W, "width (field 7) '2.5' is read as the whole number 2"}}},
        {"line,a,2,3,$4/*", {{5, W, "x1 (field 2) 'a' is not a number"}, {5, W, "y2 (field 5) '$4' is not a number"},
                             {5, W, "width (field 7) is missing"}}},
        {"txt,A,B,,10,32/*x", {{5, W, "size (field 4) is empty: it reads as 0"}}},
        {"txt,A,B,-12,10,32/*x", {{5, W, "size -12 (field 4) is below 0"}}},
        {"img,10,5,50/*", {{5, W, "height (field 5) is missing"}, {5, W, "no picture file"}}},
        {"txt,A,B,12pt,10,32/*x", {{5, N, "reads as 12; the rest ('pt') is ignored"}}},
        {"box,10,20,30,40,K,F,4,5/*", {{5, W, "field 9 ('5') and any after it are ignored"}}},
        // Letters.
        {"txt,A,B,12,12,288,F/*Company: ", {{5, W, "colour letter 'F' is not a colour (K, R, B, Y); the text keeps"}}},
        {"line,1,2,3,4,Q,5/*", {{5, W, "colour letter 'Q' is not a colour (K, R, B, Y); the line keeps the previous "
                                        "line colour"}}},
        {"box,1,2,3,4,k,F/*", {{5, W, "write 'K'"}}},
        {"txt,X,B,12,10,32/*x", {{5, W, "font letter 'X' is not a font"}}},
        {"txt,A,b,12,10,32/*x", {{5, W, "bold in the PDF only"}}},
        {"txt,A,BI,12,10,32/*x", {{5, W, "bold in the PDF only"}, {5, W, "italic or underlined in the PDF only"}}},
        {"box,1,2,3,4,K,f,2/*", {{5, W, "fill flag 'f' (field 7) is not F"}}},
        {"txt,A,B,12,10,32/*", {{5, N, "text is empty"}}},
        // Off the page, and pictures the writer refuses.
        {"box,300,20,30,40,K,F/*", {{5, W, "wholly outside the page (210 x 297 mm)"}}},
        {"img,10,5,0,15," + logo + "/*", {{5, W, "width or height of 0"}}},
        {"img,10,5,50,15,/tmp/check-no-such-picture.jpg/*", {{5, W, "cannot be embedded (Error opening image file.)"}}},
        {"img,10,5,50,15," + std::string(TABULON_DATA_DIR) + "/*", {{5, W, "cannot be embedded"}}},
        // Pages.
        {"eop/*\rtxt,A,B,12,10,32/*x\reop/*\reop/*\rtxt,A,B,12,10,32/*x",
         {{8, N, "page 3 is empty"}}},
        {"eop/*\rDoc,P/*", {{5, W, "the last page (page 2) is empty"}, {6, N, "header line again"}}},
        {"eop", {{5, W, "nothing is drawn after the last 'eop'"}}},
        {"\ntxt,A,B,12,10,32,K/*x\r\neop/*", {{5, W, "starts with LF"}}},
    };
    for (const Case& c : cases) expectFindings(start + c.line + "\r", c.findings);

    // Before any colour or font letter.
    expectFindings("Doc,P/*\rtxt,,B,12,10,10/*x\rline,1,2,3,4,,5/*\rbox,1,2,3,4/*\r",
                   {{2, W, "no font letter before this text"}, {2, W, "no text colour letter"},
                    {3, W, "no line colour letter"}, {4, W, "no box colour letter"}, {4, W, "outline width"}});
}

// The header line: what the intake makes of it and of the document name.
TEST(JobCheck, FindsHeadersThatLoseTheJobOrItsFile)
{
    expectFindings("P/*\rtxt,A,B,12,10,10,K/*x\r", {{1, W, "shorter than two characters"}});
    expectFindings("Doc,P\rtxt,A,B,12,10,10,K/*x\r", {{1, W, "header reaches to the first '/*', on line 2"},
                                                     {1, W, "orientation 'P\\x0Dtxt' is not P"},
                                                     {2, N, "empty line"}});
    expectFindings("Doc,P/*\ntxt,A,B,12,10,10,K/*x\n", {{1, W, "the job has no CR"}});
    expectFindings("Doc,P/* first\rtxt,A,B,12,10,10,K/*x\r", {{1, W, "goes on after '/*'"},
                                                           {1, N, "'first' is no command"}});
    expectFindings("Doc,Q/*\r", {{1, W, "orientation 'Q' is not P"}});
    expectFindings("Doc/*\r", {{1, W, "no orientation"}});
    expectFindings("Doc,P,x/*\r", {{1, N, "after the orientation ('x') are ignored"}});
    expectFindings("Do?c,L/*\r", {{1, W, "is no file name, so the PDF export fails (\"Filename is not correct.\")"}});
    expectFindings("../Doc,L/*\r", {{1, W, "outside the current folder"}});
    expectFindings(",L/*\r", {{1, W, "document name is empty"}});
    expectFindings(std::string(252, 'd') + ",L/*\r", {{1, W, "252 bytes long"}});
    expectFindings("\xEF\xBB\xBF" "Doc,P/*\r", {{1, W, "byte order mark"}});
    expectFindings("Doc,P/*\r", {});
}

// Characters the conversion to the 8-bit job loses, by line.
TEST(JobCheck, NamesLinesWhoseCharactersBecomeQuestionMarks)
{
    const std::vector<JobFinding> findings =
        checkUtf8Text("Doc,P/*\rtxt,A,B,12,10,10,K/*K\xc3\xb8ln?\rtxt,A,B,12,10,10,K/*\xe2\x82\xac \xe4\xb8\xad\xff\r");
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].line, 3);
    EXPECT_NE(findings[0].text.find("2 characters are"), std::string::npos) << findings[0].text;
    const std::vector<JobFinding> marked = checkUtf8Text("\xEF\xBB\xBF" "Doc,P/*\r");
    ASSERT_EQ(marked.size(), 1u);
    EXPECT_NE(marked[0].text.find("byte order mark"), std::string::npos) << marked[0].text;
    EXPECT_EQ(quotedField("a\tb\x81\xe9"), "a\\x09b\\x81\xc3\xa9");
    EXPECT_EQ(quotedField(std::string(50, 'x')), std::string(40, 'x') + "...");
}

}  // namespace
}  // namespace tabulon::render
