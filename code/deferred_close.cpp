#include "code/deferred_close.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

#include <system_error>

namespace lexorin::code {

namespace {

// A quarter of the descriptors the process may open, between 16 and 1024: the scan's own
// temporary files and tables need the rest.
size_t ShareOfDescriptorLimit() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 1024;
    return std::clamp<size_t>(static_cast<size_t>(limit.rlim_cur) / 4, 16, 1024);
}

}  // namespace

DeferredClose::DeferredClose(size_t max_waiting, size_t threads)
    : max_waiting_(max_waiting > 0 ? max_waiting : ShareOfDescriptorLimit()),
      thread_count_(std::max<size_t>(threads, 1)) {}

DeferredClose::~DeferredClose() {
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_) thread.join();
    for (const int fd : waiting_) ::close(fd);  // none when a thread ran
}

void DeferredClose::Add(int fd) {
    while (threads_.size() < thread_count_) {
        try {
            threads_.emplace_back([this] { Run(); });
        } catch (const std::system_error&) {
            break;
        }
    }
    if (threads_.empty()) {
        ::close(fd);  // no thread to be had: closed here, as it would have been
        return;
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.size() < max_waiting_; });
    waiting_.push_back(fd);
    lock.unlock();
    changed_.notify_all();
}

void DeferredClose::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return ending_ || !waiting_.empty(); });
        if (waiting_.empty()) return;  // ending, and nothing left
        const int fd = waiting_.front();
        waiting_.pop_front();
        lock.unlock();
        changed_.notify_all();
        ::close(fd);
        lock.lock();
    }
}

}  // namespace lexorin::code
