// The workers wait on one queue; the pool lives until the process ends.
#include "common/worker_pool.h"

#include <system_error>
#include <utility>

#include "common/usable_cpus.h"

namespace vorlan2 {

WorkerPool::WorkerPool(int workers) {
    threads_.reserve(static_cast<std::size_t>(workers > 0 ? workers : 0));
    for (int k = 0; k < workers; ++k) {
        try {
            threads_.emplace_back([this] { work(); });
        } catch (const std::system_error&) {
            // A process limit on threads: the workers started so far do the work.
            break;
        }
    }
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    ready_.notify_all();
    for (auto& thread : threads_) thread.join();
}

void WorkerPool::run(std::function<void()> task) {
    if (threads_.empty()) {
        task();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(std::move(task));
    }
    ready_.notify_one();
}

void WorkerPool::work() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;
            task = std::move(queue_.front());
            queue_.pop_front();
        }
        task();
    }
}

WorkerPool& WorkerPool::shared() {
    static WorkerPool pool(usable_cpus());
    return pool;
}

}  // namespace vorlan2
