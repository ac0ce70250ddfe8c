// The workers wait on one queue until the pool is destroyed.
#include "common/worker_pool.h"

#include <malloc.h>
#include <sys/resource.h>

#include <new>
#include <system_error>
#include <utility>

namespace vorlan2 {

namespace {

// Under a limit on the address space, each worker's own malloc arena would
// take 64 MB of it, mostly unused, and leave no room for the buffers of the
// work: the workers share the process's arena instead.
void share_malloc_arena_under_address_space_limit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) mallopt(M_ARENA_MAX, 1);
}

}  // namespace

WorkerPool::WorkerPool(int workers) {
    share_malloc_arena_under_address_space_limit();
    threads_.reserve(static_cast<std::size_t>(workers > 0 ? workers : 0));
    for (int k = 0; k < workers; ++k) {
        try {
            threads_.emplace_back([this] { work(); });
        } catch (const std::system_error&) {
            // A process limit on threads: the workers started so far do the work.
            break;
        } catch (const std::bad_alloc&) {
            // No memory for another thread's stack or state: the same.
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

}  // namespace vorlan2
