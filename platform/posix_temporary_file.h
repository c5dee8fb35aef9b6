// The temporary file a document is written into before it replaces its target:
// a new file with a short name of its own, removed when the write fails, when
// the object goes out of scope unrenamed, and when SIGINT, SIGTERM or SIGHUP
// ends the program while the file exists.
#pragma once

#include <string>

namespace tabulon::pdf {

class TemporaryFile {
public:
    // Creates a new empty file in `folder` ("" for the current folder, otherwise
    // ending in "/"), named ".tabulon-" and six characters that make it new. Its
    // name does not grow with the target's, so any name the folder takes leaves
    // room for it.
    explicit TemporaryFile(const std::string& folder);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool created() const { return fd_ >= 0; }
    int descriptor() const { return fd_; }
    // Closes the file and renames it to `target`. False when either fails; the
    // temporary file is then removed.
    bool moveTo(const std::string& target);

private:
    void forget();

    int fd_ = -1;
    int slot_ = -1;  // its entry in the table the signal handler reads, or -1
    std::string path_;
};

}  // namespace tabulon::pdf
