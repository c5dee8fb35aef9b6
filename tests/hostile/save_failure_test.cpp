// Saves that fail lose nothing: tabulon-export, run as a process, ends with 1 and
// one line on standard error with the writer's code and text, any earlier file of
// that name keeps its bytes, and no temporary file stays beside it, also when a
// signal ends it during the write. Names are judged whole, long legal names are
// written, and another user's link in a shared sticky folder is not followed.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <set>

#include "child_process.h"
#include "claim_files.h"
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

// Document names are judged whole, and the temporary file's name does not grow
// with them: a NUL byte in the folder part would otherwise cut the name the
// system sees to "trickXXXXXX", and names near the file system's 255-byte limit
// are written as long as the name itself fits.
TEST(SaveFailure, DocumentNamesAreJudgedWholeAndLongOnesFit)
{
    struct Case {
        std::string document;
        int code;  // 0: written as document + ".pdf"
    };
    const Case cases[] = {
        {std::string("trickXXXXXX\0/x", 14), 15},
        {std::string(244, 'n'), 0},
        {std::string(251, 'n'), 0},
        {std::string(252, 'n'), 16},  // with ".pdf" one byte past the limit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.document.size());
        std::string folder = freshFolder("names-" + std::to_string(c.document.size()));
        std::set<std::string> before = folderEntries(folder);
        ChildOptions inFolder;
        inFolder.workingFolder = folder;
        std::string file = c.document + ".pdf";
        ChildResult run = exportJob(c.document + ",P/*\rtxt,A,N,12,10,10,K/*Long\r", {}, inFolder);
        if (c.code != 0) {
            // Messages show a name of more than 200 bytes by its first 157 and last 40.
            std::string shown = file.size() > 200 ? file.substr(0, 157) + "..." + file.substr(file.size() - 40) : file;
            expectFailedSave(run, shown, c.code, c.code == 15 ? "Filename is not correct." : "Error creating file.");
            EXPECT_EQ(folderEntries(folder), before);
            continue;
        }
        EXPECT_EQ(run.exitStatus, 0) << run.errors;
        before.insert(file);
        EXPECT_EQ(folderEntries(folder), before);
        std::string report;
        EXPECT_TRUE(qpdfAccepts(folder + "/" + file, &report)) << report;
    }
}

// Links at the target: followed, their target replaced or created and the link
// kept, except another user's link in a folder anyone may write to that has the
// sticky bit (as /tmp), where following it would let that user turn the save
// onto any file the writer may change. The link's owner is set by lchown, so the
// cases with another owner need root.
TEST(SaveFailure, LinksAreFollowedUnlessAnotherUserSetThemInASharedFolder)
{
    constexpr uid_t kOther = 65534;
    struct Case {
        const char* name;
        mode_t folderMode;
        uid_t folderOwner;
        uid_t linkOwner;
        bool targetExists;
        bool followed;
    };
    const uid_t me = ::geteuid();
    const Case cases[] = {
        {"own link, sticky shared folder", 01777, me, me, true, true},
        {"own dangling link", 0755, me, me, false, true},
        {"other's link, folder not sticky", 0777, me, kOther, true, true},
        {"other's link, sticky folder only its owner writes", 01755, me, kOther, true, true},
        {"other's link, sticky shared folder of that user", 01777, kOther, kOther, true, true},
        {"other's link, sticky shared folder", 01777, me, kOther, true, false},
        {"other's dangling link, sticky shared folder", 01777, me, kOther, false, false},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if ((c.linkOwner != me || c.folderOwner != me) && !runsAsRoot()) {
            std::cout << "skipped (needs root to set another owner): " << c.name << '\n';
            continue;
        }
        std::string base = freshFolder("links-" + std::to_string(++number));
        std::string shared = base + "/shared";
        std::string elsewhere = base + "/elsewhere.pdf";
        std::string link = shared + "/doc.pdf";
        ASSERT_EQ(::mkdir(shared.c_str(), 0700), 0);
        std::string earlier = c.targetExists ? writeEarlierPdf(elsewhere) : std::string();
        ASSERT_EQ(::symlink(elsewhere.c_str(), link.c_str()), 0);
        ASSERT_EQ(::lchown(link.c_str(), c.linkOwner, static_cast<gid_t>(-1)), 0);
        ASSERT_EQ(::chown(shared.c_str(), c.folderOwner, static_cast<gid_t>(-1)), 0);
        ASSERT_EQ(::chmod(shared.c_str(), c.folderMode), 0);
        std::set<std::string> before = folderEntries(shared);

        ChildResult run = exportJob(kSmallJob + "txt,A,N,12,10,30,K/*Newer\r", {"-o", link});
        std::vector<char> linkText(4096);
        ssize_t length = ::readlink(link.c_str(), linkText.data(), linkText.size());
        EXPECT_EQ(std::string(linkText.data(), length > 0 ? static_cast<std::size_t>(length) : 0), elsewhere)
            << "the link changed";
        EXPECT_EQ(folderEntries(shared), before);
        if (c.followed) {
            EXPECT_EQ(run.exitStatus, 0) << run.errors;
            std::string report;
            EXPECT_TRUE(qpdfAccepts(elsewhere, &report)) << report;
            EXPECT_NE(readFile(elsewhere), earlier);
        } else {
            expectFailedSave(run, link, 16,
                             "Error creating file. It is a link that belongs to another user, in a folder anyone may "
                             "write to; such a link is not followed.");
            if (c.targetExists) {
                expectUnchanged(elsewhere, earlier);
            } else {
                EXPECT_NE(::access(elsewhere.c_str(), F_OK), 0) << "the link's target was created";
            }
        }
        std::set<std::string> expected{".", "..", "shared"};
        if (c.targetExists || c.followed) expected.insert("elsewhere.pdf");
        EXPECT_EQ(folderEntries(base), expected);
    }
}

// A signal that ends tabulon-export while it writes a large file: the signal
// still ends it (its exit status names the signal), the earlier PDF keeps its
// bytes and the temporary file is gone. The signal is sent once the temporary
// file appears; a 64 MB picture keeps the write going for a good while after.
TEST(SaveFailure, SignalDuringTheWriteLeavesNoTemporaryFile)
{
    std::string picture = writeTempFile("interrupted.jpg", claimingJpeg(1, 1, std::size_t{64} << 20));
    std::string bigJob = kSmallJob + "img,10,40,50,50," + picture + "/*\r";
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        std::string folder = freshFolder(std::string("signal-") + std::to_string(signal));
        std::string target = folder + "/doc.pdf";
        std::string earlier = writeEarlierPdf(target);
        std::set<std::string> before = folderEntries(folder);

        int watch = ::inotify_init1(IN_CLOEXEC);
        ASSERT_GE(watch, 0);
        ASSERT_GE(::inotify_add_watch(watch, folder.c_str(), IN_CREATE), 0);
        bool sent = false;
        ChildOptions options;
        options.hangSeconds = 120;
        options.whileRunning = [&](int child) {
            alignas(inotify_event) char events[4096];
            pollfd ready{watch, POLLIN, 0};
            while (!sent && ::poll(&ready, 1, 60000) == 1) {
                ssize_t length = ::read(watch, events, sizeof events);
                for (ssize_t at = 0; at < length;) {
                    const auto* event = reinterpret_cast<const inotify_event*>(events + at);
                    if (!sent && event->len > 0 && std::string(event->name) != "doc.pdf") {
                        sent = ::kill(child, signal) == 0;
                    }
                    at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                }
            }
        };
        ChildResult run = exportJob(bigJob, {"-o", target}, options);
        ::close(watch);
        ASSERT_TRUE(sent) << "no temporary file appeared";
        EXPECT_EQ(run.signal, signal) << "exit " << run.exitStatus << ": " << run.errors;
        expectUnchanged(target, earlier);
        EXPECT_EQ(folderEntries(folder), before);
    }
}

}  // namespace
}  // namespace tabulon::test
