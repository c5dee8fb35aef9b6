#include <gtest/gtest.h>

#include "export_options.h"

using namespace tabulon::exporter;

TEST(ExportOptions, PagePicturesAndPrintingTakeTheirValues)
{
    const struct {
        std::vector<std::string> arguments;
        std::string error;
        std::string pngDir;
        int width;
        int height;
        std::string printer;
    } cases[] = {
        {{"--demo", "--png", "pages"}, "", "pages", 1920, 1080, ""},
        {{"--demo", "--png", "p", "--screen", "1280x1024"}, "", "p", 1280, 1024, ""},
        {{"job.txt", "--print", "TabulonPDF"}, "", "", 1920, 1080, "TabulonPDF"},
        {{"--png"}, "--png needs DIR", "", 0, 0, ""},
        {{"--print"}, "--print needs PRINTER", "", 0, 0, ""},
        {{"--screen", "1920"}, "--screen needs WIDTHxHEIGHT in pixels, such as 1920x1080, not \"1920\"", "", 0, 0, ""},
        {{"--screen", "0x1080"}, "--screen needs WIDTHxHEIGHT in pixels, such as 1920x1080, not \"0x1080\"", "", 0, 0,
         ""},
        {{"--screen", "-5x10"}, "--screen needs WIDTHxHEIGHT in pixels, such as 1920x1080, not \"-5x10\"", "", 0, 0,
         ""},
        {{"--png", "p", "--screen", "16384x16384"}, "", "p", 16384, 16384, ""},
        {{"--screen", "16385x10"}, "--screen 16385x10 is too large: at most 16384 pixels a side", "", 0, 0, ""},
        {{"--screen", "100000x100000"}, "--screen 100000x100000 is too large: at most 16384 pixels a side", "", 0,
         0, ""},
        {{"--screen", "99999999999x10"}, "--screen 99999999999x10 is too large: at most 16384 pixels a side", "",
         0, 0, ""},
        {{"--screen", "10x0"}, "--screen needs WIDTHxHEIGHT in pixels, such as 1920x1080, not \"10x0\"", "", 0, 0,
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        const ParseResult parsed = parseExportOptions(c.arguments);
        EXPECT_EQ(parsed.error, c.error);
        if (!c.error.empty()) {
            continue;
        }
        EXPECT_EQ(parsed.options.pngDir, c.pngDir);
        EXPECT_EQ(parsed.options.screenWidth, c.width);
        EXPECT_EQ(parsed.options.screenHeight, c.height);
        EXPECT_EQ(parsed.options.printer, c.printer);
    }
}
