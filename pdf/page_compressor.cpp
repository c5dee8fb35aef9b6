#include "page_compressor.h"

#include <algorithm>
#include <new>
#include <system_error>

#include "error_codes.h"

namespace tabulon::pdf {

namespace {

// The pool leaves one core to the caller, who writes the pages, and stays small:
// a page compresses in well under a millisecond, so more workers than this only wait.
unsigned poolSize()
{
    unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(cores > 1 ? cores - 1 : 1u, 1u, 4u);
}

}  // namespace

bool compressPage(const CompressProc& proc, ByteBuffer& bytes, std::int32_t& errorCode)
{
    try {
        return proc(bytes);
    } catch (const std::bad_alloc&) {
        errorCode = kOutOfMemory;
        return false;
    }
}

PageCompressor::PageCompressor(std::size_t waitingLimit, unsigned workers)
    : waitingLimit_(waitingLimit), workerCount_(workers != 0 ? workers : poolSize())
{
}

PageCompressor::~PageCompressor()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    workAvailable_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void PageCompressor::startWorkers()
{
    started_ = true;
    for (unsigned i = 0; i < workerCount_; ++i) {
        try {
            workers_.emplace_back([this] { work(); });
        } catch (const std::system_error&) {
            break;  // as many as the system gives; none means the caller does it all
        } catch (const std::bad_alloc&) {
            break;
        }
    }
}

bool PageCompressor::submit(std::size_t page, ByteBuffer& content, const CompressProc& proc)
{
    if (!started_) startWorkers();
    std::unique_lock<std::mutex> lock(mutex_);
    // Too much waiting: the caller compresses the oldest waiting pages itself
    // before it adds another.
    while (!waiting_.empty() && waitingBytes_ + content.length() > waitingLimit_) {
        Job* oldest = claimOldest();
        lock.unlock();
        run(*oldest);
        lock.lock();
        finish(*oldest);
    }
    try {
        jobs_.emplace_back();
    } catch (const std::bad_alloc&) {
        return false;
    }
    try {
        jobs_.back().proc = proc;
    } catch (const std::bad_alloc&) {
        jobs_.pop_back();
        return false;
    }
    Job& job = jobs_.back();
    job.page = page;
    job.bytes.swap(content);
    if (workers_.empty()) {
        // No worker to wait for: the job is done here and now.
        job.state = JobState::Running;
        lock.unlock();
        run(job);
        lock.lock();
        finish(job);
        return true;
    }
    try {
        waiting_.push_back(&job);
    } catch (const std::bad_alloc&) {
        content.swap(job.bytes);
        jobs_.pop_back();
        return false;
    }
    waitingBytes_ += job.bytes.length();
    lock.unlock();
    workAvailable_.notify_one();
    return true;
}

bool PageCompressor::holds(std::size_t page) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return find(page) != nullptr;
}

PageCompressor::Job* PageCompressor::find(std::size_t page) const
{
    auto it = std::lower_bound(jobs_.begin(), jobs_.end(), page,
                               [](const Job& job, std::size_t wanted) { return job.page < wanted; });
    if (it == jobs_.end() || it->page != page || it->taken) return nullptr;
    return const_cast<Job*>(&*it);
}

PageCompressor::Job* PageCompressor::claimOldest()
{
    Job* job = waiting_.front();
    waiting_.pop_front();
    waitingBytes_ -= job->bytes.length();
    job->state = JobState::Running;
    return job;
}

void PageCompressor::run(Job& job)
{
    try {
        job.compressed = compressPage(job.proc, job.bytes, job.errorCode);
    } catch (...) {
        job.error = std::current_exception();
    }
}

void PageCompressor::finish(Job& job)
{
    job.state = JobState::Done;
    jobDone_.notify_all();
}

void PageCompressor::work()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        workAvailable_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (stopping_) return;
        Job* job = claimOldest();
        lock.unlock();
        run(*job);
        lock.lock();
        finish(*job);
    }
}

PageCompressor::Result PageCompressor::take(std::size_t page)
{
    std::unique_lock<std::mutex> lock(mutex_);
    Job* job = find(page);
    Result result;
    if (job == nullptr) return result;
    if (job->state == JobState::Waiting) {
        // No worker has got to it: compressing it here is quicker than waiting.
        waiting_.erase(std::find(waiting_.begin(), waiting_.end(), job));
        waitingBytes_ -= job->bytes.length();
        job->state = JobState::Running;
        lock.unlock();
        run(*job);
        lock.lock();
        finish(*job);
    }
    jobDone_.wait(lock, [job] { return job->state == JobState::Done; });
    result.bytes.swap(job->bytes);
    result.compressed = job->compressed;
    result.errorCode = job->errorCode;
    std::exception_ptr error = job->error;
    // Taken jobs leave from the front; one taken out of order waits there until
    // those before it are taken too.
    job->taken = true;
    while (!jobs_.empty() && jobs_.front().taken) jobs_.pop_front();
    lock.unlock();
    if (error) std::rethrow_exception(error);
    return result;
}

}  // namespace tabulon::pdf
