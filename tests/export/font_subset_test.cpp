// tabulon-export --subset, the program itself with the machine's fonts: the
// TrueType fonts go in as tagged subsets, and qpdf, pdffonts, pdftotext and
// pdftoppm find the same document as with the whole fonts, pixel for pixel.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "pdf_check.h"

namespace tabulon::test {
namespace {

// Every Windows-1252 character from the blank on, in both families, in the style
// "N" that the writer embeds as a TrueType font.
std::string everyCharacterJob()
{
    std::string job = "Characters,P/*\r";
    int y = 20;
    for (const char* family : {"A", "C"}) {
        for (int start = 32; start < 256; start += 32, y += 8) {
            job += std::string("txt,") + family + ",N,14,10," + std::to_string(y) + ",K/*";
            for (int c = start; c < start + 32; ++c) job += static_cast<char>(c);
            job += "\r";
        }
    }
    return job;
}

// The pages as pdftoppm draws them in grey at 100 dpi, one string each.
std::vector<std::string> renderedPages(const std::string& pdf)
{
    runCommand("pdftoppm -gray -r 100 '" + pdf + "' '" + pdf + "-page'");
    std::vector<std::string> pages;
    for (int page = 1;; ++page) {
        std::string path = pdf + "-page-" + std::to_string(page) + ".pgm";
        std::string pixels = readFile(path);
        if (pixels.empty()) break;
        pages.push_back(pixels);
        std::filesystem::remove(path);
    }
    return pages;
}

TEST(FontSubsetProgram, SubsetDocumentsReadAndLookAsWithWholeFonts)
{
    std::string folder = tempFolder() + "/font-subset";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(TABULON_LOGO, folder + "/printlogo.jpg",
                               std::filesystem::copy_options::overwrite_existing);
    const struct Row {
        const char* name;
        std::string arguments;
    } rows[] = {
        {"demo", "--demo"},
        {"characters", "--encoding cp1252 '" + writeTempFile("font-subset/characters.txt", everyCharacterJob()) + "'"},
    };
    const std::regex subsetFont("^[A-Z]{6}\\+.* TrueType +WinAnsi +yes +yes ");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string whole = folder + "/" + row.name + "-whole.pdf";
        std::string subset = folder + "/" + row.name + "-subset.pdf";
        for (const auto& [path, options] : {std::pair{whole, ""}, std::pair{subset, " --subset"}}) {
            CommandResult run = runCommand("cd '" + folder + "' && '" TABULON_EXPORT_PROGRAM "' --compress" +
                                           options + " " + row.arguments + " -o '" + path + "' 2>&1");
            ASSERT_EQ(run.status, 0) << run.output;
            EXPECT_EQ(run.output, "");
        }
        std::string report;
        EXPECT_TRUE(qpdfAccepts(subset, &report)) << report;
        std::istringstream fonts(runCommand("pdffonts '" + subset + "'").output);
        int trueTypeFonts = 0;
        for (std::string line; std::getline(fonts, line);) {
            if (line.find("TrueType") == std::string::npos) continue;
            ++trueTypeFonts;
            EXPECT_TRUE(std::regex_search(line, subsetFont)) << line;
        }
        EXPECT_GE(trueTypeFonts, 1);
        EXPECT_NE(pdfText(subset).find(row.name == std::string("demo") ? "Kvarnbanken" : "ABCDEFGHIJ"),
                  std::string::npos);
        EXPECT_EQ(pdfText(subset), pdfText(whole));
        std::vector<std::string> subsetPages = renderedPages(subset);
        EXPECT_FALSE(subsetPages.empty());
        EXPECT_TRUE(subsetPages == renderedPages(whole)) << "the pages look different with font subsets";
        EXPECT_LT(readFile(subset).size(), readFile(whole).size() / 2);
        RecordProperty(std::string(row.name) + "_bytes", std::to_string(readFile(subset).size()));
    }
}

}  // namespace
}  // namespace tabulon::test
