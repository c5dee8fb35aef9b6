#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "pdf_check.h"
#include "viewer_start.h"

namespace tabulon::shell {
namespace {

TEST(ViewerStart, FileNameWithBlanksArrivesAsOneArgument)
{
    std::string folder = test::tempFolder();
    std::string record = folder + "/viewer-arguments.txt";
    std::string viewer = folder + "/stand-in-viewer";
    {
        std::ofstream script(viewer);
        script << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '" << record << ".part'\nmv '" << record << ".part' '"
               << record << "'\n";
    }
    ::chmod(viewer.c_str(), 0755);

    ASSERT_TRUE(startViewer(viewer, "My doc  two.pdf"));
    std::string arguments;
    for (int i = 0; i < 100 && arguments.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        arguments = test::readFile(record);
    }
    EXPECT_EQ(arguments, "1\nMy doc  two.pdf\n");
}

TEST(ViewerStart, MissingProgramIsReported)
{
    EXPECT_FALSE(startViewer("tabulon-no-such-viewer", "x.pdf"));
}

}  // namespace
}  // namespace tabulon::shell
