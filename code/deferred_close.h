#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

// Closes file descriptors on a thread of its own. The scan holds each unit it replaces open
// (O_PATH) across the rename and hands it here: the last close of a replaced file frees its
// blocks, and on a file system mounted with `discard` that waits for the device, which need not
// hold up the scan. Nothing depends on when the close happens; the rename is done.
namespace lexorin::code {

class DeferredClose {
  public:
    // At most `max_waiting` descriptors wait at a time (they count against the process's limit;
    // 0: a share of that limit). `threads` close them, so that the device may discard the
    // blocks of several files at once.
    explicit DeferredClose(size_t max_waiting = 0, size_t threads = 4);
    // Closes whatever still waits, then ends the thread.
    ~DeferredClose();
    DeferredClose(const DeferredClose&) = delete;
    DeferredClose& operator=(const DeferredClose&) = delete;

    // Takes `fd` over; waits while max_waiting descriptors wait. The threads start on first use.
    void Add(int fd);

  private:
    void Run();

    size_t max_waiting_;
    size_t thread_count_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<int> waiting_;
    bool ending_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace lexorin::code
