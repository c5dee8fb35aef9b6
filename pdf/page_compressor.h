// Compression of finished pages beside the writer: each page handed over is
// compressed on a worker thread while the caller writes the next ones, and its
// result waits until the page is written into the file.
//
// The workers only ever call the compress proc on a buffer of their own; every
// other part of the writer stays on the caller's thread. Pages that wait for a
// worker are bounded by their size: when too much is waiting, the caller's thread
// compresses the oldest waiting page itself, so the uncompressed pages held at
// once stay within a few megabytes whatever the document's length. A machine
// that cannot start a thread gets every page compressed on the caller's thread,
// as it is handed over.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "byte_buffer.h"
#include "writer_hooks.h"

namespace tabulon::pdf {

// Runs `proc` on `bytes`; true when it replaced them by their compressed form. A
// proc that runs out of memory (throws std::bad_alloc) leaves them uncompressed
// and sets `errorCode` to kOutOfMemory; any other exception passes through.
bool compressPage(const CompressProc& proc, ByteBuffer& bytes, std::int32_t& errorCode);

class PageCompressor {
public:
    // What became of a page: `bytes` holds its compressed form when `compressed`
    // is true, its content as handed over otherwise; `errorCode` is compressPage's.
    // Any other exception the proc threw is thrown again by take(), on the
    // caller's thread.
    struct Result {
        ByteBuffer bytes;
        bool compressed = false;
        std::int32_t errorCode = 0;
    };

    // `waitingLimit`: bytes of uncompressed pages that may wait for a worker.
    // `workers`: 0 sizes the pool to the machine (one core stays the caller's).
    explicit PageCompressor(std::size_t waitingLimit = kDefaultWaitingLimit, unsigned workers = 0);
    ~PageCompressor();
    PageCompressor(const PageCompressor&) = delete;
    PageCompressor& operator=(const PageCompressor&) = delete;

    // Hands over page `page` (from 0, increasing from call to call) with its
    // content, to be compressed by `proc`. False, keeping `content`, when there is
    // no memory for the job.
    bool submit(std::size_t page, ByteBuffer& content, const CompressProc& proc);
    // Whether page `page` was handed over and not taken yet.
    bool holds(std::size_t page) const;
    // Waits for page `page` (compressing it here if no worker has started it)
    // and hands its result over. The page must be held.
    Result take(std::size_t page);

    static constexpr std::size_t kDefaultWaitingLimit = 4u << 20;

private:
    enum class JobState { Waiting, Running, Done };
    struct Job {
        std::size_t page = 0;
        JobState state = JobState::Waiting;
        CompressProc proc;
        ByteBuffer bytes;
        bool compressed = false;
        std::int32_t errorCode = 0;
        bool taken = false;
        std::exception_ptr error;
    };

    void startWorkers();
    void work();
    // Runs the proc on `job`, outside the lock; the job is Running and no one
    // else touches its bytes.
    void run(Job& job);
    // Takes the oldest waiting job for the calling thread. Called with the lock held.
    Job* claimOldest();
    void finish(Job& job);
    Job* find(std::size_t page) const;

    std::size_t waitingLimit_;
    unsigned workerCount_;
    bool started_ = false;

    mutable std::mutex mutex_;
    std::condition_variable workAvailable_;
    std::condition_variable jobDone_;
    bool stopping_ = false;
    // Every job not taken yet, in page order (elements keep their addresses as
    // the deque grows at either end), and those no thread has started, oldest first.
    std::deque<Job> jobs_;
    std::deque<Job*> waiting_;
    std::size_t waitingBytes_ = 0;
    std::vector<std::thread> workers_;
};

}  // namespace tabulon::pdf
