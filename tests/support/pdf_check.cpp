#include "pdf_check.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tabulon::test {

std::vector<std::string> splitLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        lines.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

namespace {

bool parseXrefStart(std::string_view pdf, std::size_t& offset)
{
    std::size_t at = pdf.rfind("startxref\n");
    if (at == std::string_view::npos) return false;
    offset = std::strtoull(std::string(pdf.substr(at + 10, 20)).c_str(), nullptr, 10);
    return offset < pdf.size();
}

}  // namespace

std::string checkXref(std::string_view pdf)
{
    std::size_t xref = 0;
    if (!parseXrefStart(pdf, xref)) return "no startxref";
    if (pdf.substr(xref, 5) != "xref\n") return "startxref does not point at xref";
    std::size_t at = xref + 5;
    std::size_t lineEnd = pdf.find('\n', at);
    std::string subsection(pdf.substr(at, lineEnd - at));
    int first = 0, count = 0;
    if (std::sscanf(subsection.c_str(), "%d %d", &first, &count) != 2 || first != 0) return "bad subsection";
    at = lineEnd + 1;
    for (int i = 0; i < count; ++i) {
        std::string_view entry = pdf.substr(at + 20 * static_cast<std::size_t>(i), 20);
        if (entry.size() != 20 || entry[19] != '\n') return "entry " + std::to_string(i) + " not 20 bytes";
        if (i == 0) {
            if (entry != "0000000000 65535 f \n") return "bad free entry";
            continue;
        }
        if (entry.substr(10) != " 00000 n \n") return "bad entry " + std::to_string(i);
        std::size_t offset = std::strtoull(std::string(entry.substr(0, 10)).c_str(), nullptr, 10);
        std::string header = std::to_string(i) + " 0 obj\n";
        if (pdf.substr(offset, header.size()) != header) {
            return "object " + std::to_string(i) + " not at its offset " + std::to_string(offset);
        }
    }
    std::size_t trailer = at + 20 * static_cast<std::size_t>(count);
    std::string size = "/Size " + std::to_string(count) + "\n";
    if (pdf.substr(trailer, 8) != "trailer\n" || pdf.find(size, trailer) == std::string_view::npos) {
        return "trailer does not follow the table or has another /Size";
    }
    return "";
}

std::string objectText(std::string_view pdf, int number)
{
    std::size_t xref = 0;
    if (!parseXrefStart(pdf, xref)) return "";
    std::size_t table = pdf.find('\n', xref + 5) + 1;
    std::string_view entry = pdf.substr(table + 20 * static_cast<std::size_t>(number), 20);
    std::size_t offset = std::strtoull(std::string(entry.substr(0, 10)).c_str(), nullptr, 10);
    std::size_t end = pdf.find("endobj\n", offset);
    if (end == std::string_view::npos) return "";
    return std::string(pdf.substr(offset, end + 7 - offset));
}

CommandResult runCommand(const std::string& command)
{
    CommandResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    std::array<char, 4096> chunk{};
    std::size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) result.output.append(chunk.data(), got);
    int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string tempFolder()
{
    static std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/tabulon-test-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        return std::string(::mkdtemp(name.data()) != nullptr ? name.data() : "/tmp");
    }();
    return folder;
}


bool qpdfAccepts(const std::string& path, std::string* report)
{
    CommandResult result = runCommand("qpdf --check '" + path + "' 2>&1");
    if (report != nullptr) *report = result.output;
    return result.status == 0;
}

int pdfinfoPages(const std::string& path)
{
    CommandResult result = runCommand("pdfinfo '" + path + "' 2>/dev/null");
    std::size_t at = result.output.find("Pages:");
    if (result.status != 0 || at == std::string::npos) return -1;
    return std::atoi(result.output.c_str() + at + 6);
}

std::string pdfText(const std::string& path, int page)
{
    const std::string range = page > 0 ? " -f " + std::to_string(page) + " -l " + std::to_string(page) : "";
    return runCommand("pdftotext -enc UTF-8" + range + " '" + path + "' - 2>/dev/null").output;
}

}  // namespace tabulon::test
