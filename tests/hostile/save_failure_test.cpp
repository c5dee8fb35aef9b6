// Saves that fail lose nothing: tabulon-export, run as a process, ends with 1 and
// one line on standard error with the writer's code and text, any earlier file of
// that name keeps its bytes, and no temporary file stays beside it.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>

#include "child_process.h"
#include "pdf_check.h"

namespace tabulon::test {
namespace {

const std::string kSmallJob = "Doc,P/*\rtxt,A,N,12,10,10,K/*Earlier\r";
const std::string kLinesOnlyJob = "Doc,P/*\rline,10,10,100,100,K,5/*\r";

std::string freshFolder(const std::string& name)
{
    std::string folder = tempFolder() + "/" + name;
    ::mkdir(folder.c_str(), 0755);
    return folder;
}

std::set<std::string> folderEntries(const std::string& folder)
{
    std::set<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (dirent* entry = ::readdir(dir)) names.insert(entry->d_name);
        ::closedir(dir);
    }
    return names;
}

ChildResult exportJob(const std::string& job, std::vector<std::string> arguments, ChildOptions options = {})
{
    static int counter = 0;
    options.standardInputFile = writeTempFile("save-job-" + std::to_string(++counter) + ".txt", job);
    options.arguments = {TABULON_EXPORT_PROGRAM};
    options.arguments.insert(options.arguments.end(), arguments.begin(), arguments.end());
    return runChild(options);
}

// An earlier, good PDF at `path`, written by tabulon-export itself.
std::string writeEarlierPdf(const std::string& path, const std::string& job = kSmallJob)
{
    ChildResult run = exportJob(job, {"--compress", "-o", path});
    EXPECT_EQ(run.exitStatus, 0) << run.errors;
    std::string report;
    EXPECT_TRUE(qpdfAccepts(path, &report)) << report;
    return readFile(path);
}

void expectFailedSave(const ChildResult& run, const std::string& target, int code, const std::string& text)
{
    ASSERT_TRUE(run.started) << "the child could not be set up";
    EXPECT_EQ(run.exitStatus, 1) << run.errors;
    EXPECT_EQ(run.errors, "tabulon-export: " + target + " not written (error " + std::to_string(code) +
                              "): " + text + "\n");
}

void expectUnchanged(const std::string& path, const std::string& earlier)
{
    EXPECT_EQ(readFile(path), earlier) << path << " changed";
    std::string report;
    EXPECT_TRUE(qpdfAccepts(path, &report)) << report;
}

TEST(SaveFailure, ReadOnlyFolderKeepsTheEarlierPdf)
{
    std::string folder = freshFolder("read-only");
    std::string target = folder + "/doc.pdf";
    std::string earlier = writeEarlierPdf(target);
    std::set<std::string> before = folderEntries(folder);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    ChildOptions options;
    // Root writes into any folder; without its overrides it meets the mode as a user does.
    options.withoutRootOverride = runsAsRoot();
    ChildResult run = exportJob(kSmallJob + "txt,A,N,12,10,30,K/*Newer\r", {"-o", target}, options);
    ::chmod(folder.c_str(), 0755);
    expectFailedSave(run, target, 16, "Error creating file.");
    expectUnchanged(target, earlier);
    EXPECT_EQ(folderEntries(folder), before);
}

TEST(SaveFailure, TargetThatIsAFolderStaysAFolder)
{
    std::string folder = freshFolder("folder-target");
    std::string target = folder + "/doc.pdf";
    ASSERT_EQ(::mkdir(target.c_str(), 0755), 0);
    std::string inside = writeEarlierPdf(target + "/inner.pdf");
    std::set<std::string> before = folderEntries(folder);
    ChildResult run = exportJob(kSmallJob, {"-o", target});
    expectFailedSave(run, target, 16, "Error creating file.");
    struct stat status {};
    EXPECT_TRUE(::stat(target.c_str(), &status) == 0 && S_ISDIR(status.st_mode));
    expectUnchanged(target + "/inner.pdf", inside);
    EXPECT_EQ(folderEntries(folder), before);
    EXPECT_EQ(folderEntries(target), (std::set<std::string>{".", "..", "inner.pdf"}));
}

TEST(SaveFailure, DeviceWithoutSpaceIsReported)
{
    ChildResult run = exportJob(kSmallJob, {"-o", "/dev/full"});
    expectFailedSave(run, "/dev/full", 16, "Error creating file.");
}

// The file size limit makes the temporary file's writes fail as on a full disk,
// while the earlier PDF sits beside it.
TEST(SaveFailure, WriteLimitKeepsTheEarlierPdfAndLeavesNoTemporaryFile)
{
    std::string folder = freshFolder("size-limit");
    std::string target = folder + "/doc.pdf";
    std::string earlier = writeEarlierPdf(target);
    std::set<std::string> before = folderEntries(folder);
    std::string bigJob = kSmallJob;
    for (int i = 0; i < 2000; ++i) bigJob += "txt,A,N,12,10," + std::to_string(20 + i % 200) + ",K/*Row " +
                                            std::to_string(i) + "\r";
    ChildOptions options;
    options.fileSizeLimit = 16 * 1024;
    ChildResult run = exportJob(bigJob, {"-o", target}, options);
    expectFailedSave(run, target, 16, "Error creating file.");
    expectUnchanged(target, earlier);
    EXPECT_EQ(folderEntries(folder), before);
}

// A real filesystem that runs full: a small tmpfs, filled up after the earlier PDF
// was written into it.
TEST(SaveFailure, FullFilesystemKeepsTheEarlierPdfAndLeavesNoTemporaryFile)
{
    std::string folder = freshFolder("full-tmpfs");
    if (::mount("tabulon-test", folder.c_str(), "tmpfs", 0, "size=512k") != 0) {
        GTEST_SKIP() << "no tmpfs can be mounted here (" << std::strerror(errno)
                     << "); WriteLimitKeepsTheEarlierPdf stands in for a full disk";
    }
    std::string target = folder + "/doc.pdf";
    std::string earlier = writeEarlierPdf(target, kLinesOnlyJob);
    std::string filler = folder + "/filler";
    int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::string block(4096, 'x');
    while (fd >= 0 && ::write(fd, block.data(), block.size()) > 0) {
    }
    int fillError = errno;
    ::close(fd);
    EXPECT_EQ(fillError, ENOSPC);
    std::set<std::string> before = folderEntries(folder);
    ChildResult run = exportJob(kSmallJob, {"-o", target});
    expectFailedSave(run, target, 16, "Error creating file.");
    expectUnchanged(target, earlier);
    EXPECT_EQ(folderEntries(folder), before);
    EXPECT_EQ(::umount2(folder.c_str(), MNT_DETACH), 0);
}

// Names with a character the writer refuses: through the job's document name (the
// file goes to the current folder) and through -o. An earlier file of that name
// is not touched.
TEST(SaveFailure, NamesTheWriterRejectsAreRefusedBeforeAnythingIsWritten)
{
    std::string folder = freshFolder("bad-names");
    std::string earlier = writeEarlierPdf(folder + "/earlier.pdf");
    // A name is judged by what follows its last "/" or "\": back\sl|sh by "sl|sh".
    const char* names[] = {"a:b", "what?", "star*", "pipe|x", "quote\"d", "back\\sl|sh", "less<", "more>",
                           "tab\tname", "cr\x01x"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        std::string file = std::string(name) + ".pdf";
        std::string target = folder + "/" + file;
        std::string earlierCopy = writeTempFile("copy.pdf", earlier);
        ASSERT_EQ(::rename(earlierCopy.c_str(), target.c_str()), 0);
        std::set<std::string> before = folderEntries(folder);

        ChildOptions inFolder;
        inFolder.workingFolder = folder;
        ChildResult byDocumentName = exportJob(std::string(name) + ",P/*\rtxt,A,N,12,10,10,K/*New\r", {}, inFolder);
        expectFailedSave(byDocumentName, file, 15, "Filename is not correct.");
        ChildResult byOption = exportJob(kSmallJob, {"-o", target});
        expectFailedSave(byOption, target, 15, "Filename is not correct.");
        expectUnchanged(target, earlier);
        EXPECT_EQ(folderEntries(folder), before);
    }
}

}  // namespace
}  // namespace tabulon::test
