// The kept helper thread of fillRowsInParallel: one thread for the whole run, woken per job.
#include "core/row_split.hpp"

#include <atomic>
#include <condition_variable>
#include <mutex>

#include <unistd.h>

namespace korvan::rowsplit {

namespace {

class KeptHelper {
public:
    KeptHelper() : owner_(getpid()), thread_([this] { serve(); }) {}

    ~KeptHelper() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

    KeptHelper(const KeptHelper&) = delete;
    KeptHelper& operator=(const KeptHelper&) = delete;

    bool start(Job job) {
        // A forked child has no copy of the thread: it would wait forever.
        if (getpid() != owner_) {
            return false;
        }
        bool idle = false;
        if (!claimed_.compare_exchange_strong(idle, true, std::memory_order_acquire)) {
            return false;
        }
        {
            const std::lock_guard lock(mutex_);
            job_ = job;
            done_ = false;
        }
        wake_.notify_one();
        return true;
    }

    void wait() {
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [this] { return done_; });
        lock.unlock();
        claimed_.store(false, std::memory_order_release);
    }

private:
    void serve() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || job_.call != nullptr; });
            if (job_.call == nullptr) {
                return;
            }
            const Job job = job_;
            lock.unlock();
            job.call(job.context); // fillRowsInParallel's job catches what its fill throws
            lock.lock();
            job_ = {};
            done_ = true;
            finished_.notify_one();
        }
    }

    pid_t owner_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    Job job_;
    bool done_ = true;
    bool stopping_ = false;
    std::atomic<bool> claimed_{false};
    std::thread thread_; // last: starts once everything above is ready
};

KeptHelper& helper() {
    static KeptHelper kept;
    return kept;
}

} // namespace

bool startOnHelper(Job job) { return helper().start(job); }

void waitForHelper() { helper().wait(); }

bool secondCore() {
    static const bool twoOrMore = std::thread::hardware_concurrency() >= 2;
    return twoOrMore;
}

} // namespace korvan::rowsplit
