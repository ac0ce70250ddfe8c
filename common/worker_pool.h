// A fixed set of worker threads, started once by whoever writes a run's files
// and handed to every writer, so that formatting and compression never start
// a thread per piece of work.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace vorlan2 {

class WorkerPool {
public:
    // Starts up to `workers` threads; with none started, run() does the work
    // on the caller's thread.
    explicit WorkerPool(int workers);
    // Waits for the tasks already handed in, then stops the workers.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Hands a task to the workers; tasks start in the order they are handed
    // in. A task must not throw.
    void run(std::function<void()> task);

    // The threads started: fewer than asked for when the system refused more.
    int workers() const { return static_cast<int>(threads_.size()); }

private:
    void work();

    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> queue_;  // tasks not yet started
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace vorlan2
