// The manual pages against the programs: tabulon-export's page lists exactly the
// options its --help lists, with the same value names and descriptions, and man
// formats every page without a warning.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "pdf_check.h"

namespace tabulon::test {

namespace {

struct OptionEntry {
    std::string name;
    std::string valueName;
    std::string description;
    bool operator==(const OptionEntry&) const = default;
};

void PrintTo(const OptionEntry& entry, std::ostream* out)
{
    *out << "{" << entry.name << " [" << entry.valueName << "] " << entry.description << "}";
}

// Runs of blanks become one space; none at either end.
std::string squeeze(const std::string& text)
{
    std::istringstream words(text);
    std::string word;
    std::string out;
    while (words >> word) out += (out.empty() ? "" : " ") + word;
    return out;
}

// Lines "  NAME[ VALUE]   DESCRIPTION" after "Options:", up to the blank line; an
// indented line without a "-" continues the description above it. A value name
// follows the option after one space and starts with a capital.
std::vector<OptionEntry> helpOptions(const std::string& help)
{
    std::vector<OptionEntry> options;
    std::istringstream in(help.substr(help.find("\nOptions:\n") + 10));
    for (std::string line; std::getline(in, line) && !line.empty();) {
        if (line.rfind("  -", 0) != 0) {
            if (!options.empty()) options.back().description += " " + line;
            continue;
        }
        OptionEntry entry;
        std::size_t end = line.find(' ', 2);
        entry.name = line.substr(2, end - 2);
        std::string rest = end == std::string::npos ? "" : line.substr(end);
        if (rest.size() > 1 && rest[1] >= 'A' && rest[1] <= 'Z') {
            std::size_t valueEnd = rest.find(' ', 1);
            entry.valueName = rest.substr(1, valueEnd - 1);
            rest = valueEnd == std::string::npos ? "" : rest.substr(valueEnd);
        }
        entry.description = rest;
        options.push_back(entry);
    }
    for (OptionEntry& entry : options) entry.description = squeeze(entry.description);
    return options;
}

// The text roff prints for the escapes a page uses; font changes print nothing.
std::string unescape(const std::string& text)
{
    static const std::vector<std::pair<std::string, std::string>> escapes = {
        {"\\-", "-"}, {"\\e", "\\"}, {"\\&", ""}, {"\\(aq", "'"}, {"\\(dq", "\""}, {"\\(lq", "\""},
        {"\\(rq", "\""}, {"\\ ", " "}, {"\\~", " "}, {"\\fB", ""}, {"\\fI", ""}, {"\\fR", ""}, {"\\fP", ""},
    };
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        bool matched = false;
        for (const auto& [escape, printed] : escapes) {
            if (text.compare(i, escape.size(), escape) == 0) {
                out += printed;
                i += escape.size();
                matched = true;
                break;
            }
        }
        if (!matched) out += text[i++];
    }
    return out;
}

// The printed text of a source line: plain text, or a font macro whose arguments
// are joined by spaces (.B, .I) or set side by side (.BI, .IR, ...). Other
// macros print nothing here.
std::string lineText(const std::string& line)
{
    if (line.empty() || line[0] != '.') return unescape(line);
    std::istringstream in(line.substr(1));
    std::string macro;
    in >> macro;
    if (macro.empty() || macro.size() > 2 || macro.find_first_not_of("BIR") != std::string::npos) return "";
    std::vector<std::string> arguments;
    std::string rest;
    std::getline(in, rest);
    for (std::size_t i = 0; i < rest.size();) {
        if (rest[i] == ' ') {
            ++i;
        } else if (rest[i] == '"') {
            std::size_t close = rest.find('"', i + 1);
            arguments.push_back(rest.substr(i + 1, close - i - 1));
            i = close == std::string::npos ? rest.size() : close + 1;
        } else {
            std::size_t space = rest.find(' ', i);
            arguments.push_back(rest.substr(i, space - i));
            i = space == std::string::npos ? rest.size() : space;
        }
    }
    std::string joined;
    for (const std::string& argument : arguments) {
        joined += (macro.size() == 1 && !joined.empty() ? " " : "") + argument;
    }
    return unescape(joined);
}

// Every ".TP" of the OPTIONS section: the tag line gives the option and its value
// name, the lines up to the next ".TP" or section its description.
std::vector<OptionEntry> manOptions(const std::string& page)
{
    std::vector<OptionEntry> options;
    std::istringstream in(page.substr(page.find("\n.SH OPTIONS\n") + 1));
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line) && line.rfind(".SH", 0) != 0) {
        if (line == ".TP" && std::getline(in, line)) {
            std::string tag = squeeze(lineText(line));
            std::size_t space = tag.find(' ');
            options.push_back({tag.substr(0, space), space == std::string::npos ? "" : tag.substr(space + 1), ""});
        } else if (!options.empty()) {
            options.back().description += " " + lineText(line);
        }
    }
    for (OptionEntry& entry : options) entry.description = squeeze(entry.description);
    return options;
}

TEST(ManPage, ExporterPageListsTheOptionsOfItsHelp)
{
    ChildOptions help;
    help.arguments = {TABULON_EXPORT_PROGRAM, "--help"};
    ChildResult run = runChild(help);
    ASSERT_EQ(run.exitStatus, 0) << run.errors;

    std::vector<OptionEntry> fromHelp = helpOptions(run.output);
    std::vector<OptionEntry> fromPage = manOptions(readFile(TABULON_MAN_DIR "/tabulon-export.1"));
    ASSERT_FALSE(fromHelp.empty()) << run.output;
    EXPECT_EQ(fromPage, fromHelp);
}

TEST(ManPage, EveryPageFormatsWithoutWarnings)
{
    for (const char* page : {"tabulon.1", "tabulon-demo.1", "tabulon-export.1"}) {
        ChildOptions man;
        man.arguments = {"man", "--warnings", "-l", std::string(TABULON_MAN_DIR "/") + page};
        ChildResult run = runChild(man);
        if (!run.started) GTEST_SKIP() << "man is not installed";
        EXPECT_EQ(run.exitStatus, 0) << page;
        EXPECT_EQ(run.errors, "") << page;
        EXPECT_NE(run.output.find("SYNOPSIS"), std::string::npos) << page;
    }
}

}  // namespace

}  // namespace tabulon::test
