#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <limits>

#include "job_format.h"
#include "rounding.h"

namespace tabulon::render {
namespace {

TEST(JobFormat, SplitsCommandHeaderFieldsAndFreeText)
{
    struct Case {
        std::string_view line;
        std::vector<std::string_view> fields;
        std::string_view freeText;
        JobCommand command;
    };
    const Case cases[] = {
        {"txt,A,B,12,10,32,K/*Amount", {"txt", "A", "B", "12", "10", "32", "K"}, "Amount", JobCommand::Text},
        {"txt,A,N,12,10,40/*a, b /* c,d", {"txt", "A", "N", "12", "10", "40"}, "a, b /* c,d", JobCommand::Text},
        {"eop", {"eop"}, "", JobCommand::EndOfPage},
        {"", {""}, "", JobCommand::None},
        {"/*only text", {""}, "only text", JobCommand::None},
        {"box,,5, F/*", {"box", "", "5", " F"}, "", JobCommand::Box},
        {"\neop/*", {"\neop"}, "", JobCommand::None},
        {"txt,a/b,c/*x", {"txt", "a/b", "c"}, "x", JobCommand::Text},
        {"line,1/", {"line", "1/"}, "", JobCommand::Line},
        {"a*/,b/*/*", {"a*/", "b"}, "/*", JobCommand::None},
        {"img/*", {"img"}, "", JobCommand::Picture},
        {"TXT,A,B,12,10,32,K/*upper case", {"TXT", "A", "B", "12", "10", "32", "K"}, "upper case", JobCommand::None},
        {"eop ,/*", {"eop ", ""}, "", JobCommand::None},
    };
    for (const Case& c : cases) {
        JobLine line = splitJobLine(c.line);
        EXPECT_EQ(line.command, c.command) << c.line;
        EXPECT_EQ(line.fields, c.fields) << c.line;
        EXPECT_EQ(line.freeText, c.freeText) << c.line;
        EXPECT_EQ(line.field(c.fields.size() + 1), "") << c.line;
        EXPECT_EQ(line.field(0), "") << c.line;
    }
}

// Each command's fields by name, at the places the job format gives them.
TEST(JobFormat, NamesEachCommandsFields)
{
    const JobLine text = splitJobLine("txt,C,B,12,10.5,32,K,extra/*Amount");
    const TextFields t = text.text();
    EXPECT_EQ((std::vector<std::string_view>{t.fontLetter, t.style, t.size, t.x, t.y, t.colourLetter}),
              (std::vector<std::string_view>{"C", "B", "12", "10.5", "32", "K"}));
    const PictureFields p = splitJobLine("img,10,5,50,15,printlogo.jpg/*").picture();
    EXPECT_EQ((std::vector<std::string_view>{p.x, p.y, p.width, p.height, p.file}),
              (std::vector<std::string_view>{"10", "5", "50", "15", "printlogo.jpg"}));
    const LineFields l = splitJobLine("line,10,28,100,29,B,5/*").line();
    EXPECT_EQ((std::vector<std::string_view>{l.x1, l.y1, l.x2, l.y2, l.colourLetter, l.width}),
              (std::vector<std::string_view>{"10", "28", "100", "29", "B", "5"}));
    const BoxFields b = splitJobLine("box,10,286,190,8,Y,F,4/*").box();
    EXPECT_EQ((std::vector<std::string_view>{b.x, b.y, b.width, b.height, b.colourLetter, b.fill, b.outlineWidth}),
              (std::vector<std::string_view>{"10", "286", "190", "8", "Y", "F", "4"}));
    // Fields a short line does not have read as empty.
    const BoxFields shortBox = splitJobLine("box,1,2/*").box();
    EXPECT_EQ(shortBox.width, "");
    EXPECT_EQ(shortBox.outlineWidth, "");
}

// The split reads eight bytes at a time; it must agree with the plain reading
// (header up to the first "/*", fields between commas) wherever the commas,
// slashes and stars fall.
TEST(JobFormat, SplitAgreesWithThePlainReadingForAnyLine)
{
    std::mt19937 random(11);
    const char alphabet[] = {',', '/', '*', 'a', '1', ' ', '\r'};
    JobLine reused;
    for (int i = 0; i < 200000; ++i) {
        std::string line(random() % 41, ' ');
        for (char& c : line) c = alphabet[random() % sizeof alphabet];
        std::string_view view = line;
        std::size_t marker = view.find("/*");
        std::string_view header = view.substr(0, marker);
        std::vector<std::string_view> fields;
        for (std::size_t from = 0;;) {
            std::size_t comma = header.find(',', from);
            fields.push_back(header.substr(from, comma == std::string_view::npos ? std::string_view::npos : comma - from));
            if (comma == std::string_view::npos) break;
            from = comma + 1;
        }
        splitJobLine(view, reused);
        ASSERT_EQ(reused.fields, fields) << line;
        ASSERT_EQ(reused.commandHeader, header) << line;
        ASSERT_EQ(reused.freeText, marker == std::string_view::npos ? std::string_view() : view.substr(marker + 2))
            << line;
    }
}

TEST(JobFormat, IntegerReadingFollowsTheJobRules)
{
    struct Case {
        std::string_view field;
        std::int32_t value;
    };
    const Case cases[] = {
        {"10", 10},         {"10.5", 10},         {"", 0},           {"abc", 0},
        {"  \t42x", 42},    {"+7", 7},            {"-12", -12},      {"$1F", 31},
        {"$ff", 255},       {"-$10", -16},        {"%101", 5},       {"%102", 2},
        {"$", 0},           {"%", 0},             {" -", 0},         {"1 2", 1},
        {"\n5", 0},         {"99999999999", 2147483647},             {"-99999999999", -2147483647 - 1},
        {"$FFFFFFFF", -1},  {"$1FFFFFFFF", -1},   {"0012", 12},      {"+-3", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(readInteger(c.field), c.value) << '"' << c.field << '"';
}

TEST(JobFormat, DecimalReadingGivesSinglePrecision)
{
    struct Case {
        std::string_view field;
        float value;
    };
    const Case cases[] = {
        {"10.5", 10.5f}, {"10", 10.0f},   {"", 0.0f},        {".5", 0.5f},      {"5.", 5.0f},
        {"-2.25", -2.25f}, {" \t+3.5mm", 3.5f}, {"1e2", 100.0f}, {"1e", 1.0f},   {"inf", 0.0f},
        {"nan", 0.0f},   {".", 0.0f},     {"10,5", 10.0f},   {"0.1", 0.1f},     {"1e-60", 0.0f},
        {"1.2.3", 1.2f},  {"7.e1", 70.0f}, {"2.5e-1x", 0.25f},
        {"1e60", std::numeric_limits<float>::max()},         {"-1e999", -std::numeric_limits<float>::max()},
    };
    for (const Case& c : cases) EXPECT_EQ(readDecimal(c.field), c.value) << '"' << c.field << '"';
}

// Short numbers take a quicker way than the general conversion; both must give
// the same float, to the bit, or the PDF's coordinates would change.
TEST(JobFormat, ShortDecimalsReadAsTheGeneralConversionReadsThem)
{
    std::mt19937 random(7);
    auto digits = [&](int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += static_cast<char>('0' + random() % 10);
        return text;
    };
    for (int i = 0; i < 300000; ++i) {
        std::string text = digits(static_cast<int>(random() % 9));
        if (random() % 4 != 0) text += "." + digits(static_cast<int>(random() % 12));
        if (text.find_first_of("0123456789") == std::string::npos) continue;
        float expected = 0.0f;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        ASSERT_EQ(readDecimal(text), expected) << text;
        ASSERT_EQ(readDecimal("-" + text), -expected) << text;
    }
}

TEST(JobFormat, ColourLettersSetScreenAndPdfValues)
{
    EXPECT_EQ(colourForLetter("K"), (ColourSlot{0xFF000000u, 0, 0, 0}));
    EXPECT_EQ(colourForLetter("R"), (ColourSlot{0xFF0000FFu, 255, 0, 0}));
    EXPECT_EQ(colourForLetter("B"), (ColourSlot{0xFFFF0000u, 0, 0, 255}));
    // Green on screen and paper, yellow in the PDF.
    EXPECT_EQ(colourForLetter("Y"), (ColourSlot{0xFF00FF00u, 255, 255, 0}));
    for (std::string_view other : {"", "k", " K", "F", "KK", "G"}) {
        EXPECT_FALSE(colourForLetter(other)) << other;
        ColourSlot slot{0xFF0000FFu, 255, 0, 0};
        applyColourLetter(slot, other);
        EXPECT_EQ(slot, (ColourSlot{0xFF0000FFu, 255, 0, 0}));
    }
}

TEST(JobFormat, FontStyleAndFillLettersAreExact)
{
    EXPECT_EQ(familyForLetter("A"), "Arial");
    EXPECT_EQ(familyForLetter("C"), "Courier New");
    EXPECT_FALSE(familyForLetter("a"));
    EXPECT_FALSE(familyForLetter("H"));
    EXPECT_TRUE(isBoldStyle("B"));
    EXPECT_FALSE(isBoldStyle("BI"));
    EXPECT_FALSE(isBoldStyle("b"));
    EXPECT_TRUE(isFillFlag("F"));
    EXPECT_FALSE(isFillFlag(" F"));
    EXPECT_FALSE(isFillFlag("f"));
}

TEST(Rounding, HalvesGoToEvenAndHugeValuesClamp)
{
    EXPECT_EQ(roundHalfEven(0.5f), 0);
    EXPECT_EQ(roundHalfEven(1.5f), 2);
    EXPECT_EQ(roundHalfEven(2.5f), 2);
    EXPECT_EQ(roundHalfEven(-2.5f), -2);
    EXPECT_EQ(roundHalfEven(-3.5), -4);
    EXPECT_EQ(roundHalfEven(4.2333f), 4);
    EXPECT_EQ(roundHalfEven(5.6444f), 6);
    EXPECT_EQ(roundHalfEven(1e20f), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(roundHalfEven(-1e20), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(roundHalfEven(std::nanf("")), 0);
}

}  // namespace
}  // namespace tabulon::render
