// Work handed to the run's workers whose results are taken in the order the
// work was handed out: at most a given number of results are in flight, so
// that the memory they hold stays bounded, and the oldest is handed on first.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <utility>

#include "common/worker_pool.h"

namespace vorlan2 {

template <typename Result>
class OrderedTasks {
public:
    // `take` receives every result, in order, on the thread that submits.
    template <typename Take>
    OrderedTasks(Take take, std::size_t max_in_flight)
        : take_(std::move(take)), max_in_flight_(std::max<std::size_t>(1, max_in_flight)) {}

    OrderedTasks(const OrderedTasks&) = delete;
    OrderedTasks& operator=(const OrderedTasks&) = delete;

    // The work may refer to what its submitter owns: nothing is left running.
    ~OrderedTasks() {
        for (auto& task : tasks_)
            if (task.valid()) task.wait();
    }

    // Hands the oldest result on first when the in-flight limit is reached.
    template <typename Work>
    void submit(Work work) {
        if (tasks_.size() >= max_in_flight_) take_oldest();
        auto task = std::make_shared<std::packaged_task<Result()>>(std::move(work));
        tasks_.push_back(task->get_future());
        try {
            WorkerPool::shared().run([task] { (*task)(); });
        } catch (...) {
            tasks_.pop_back();
            throw;
        }
    }

    // Hands on every result still in flight.
    void finish() {
        while (!tasks_.empty()) take_oldest();
    }

private:
    void take_oldest() {
        auto task = std::move(tasks_.front());
        tasks_.pop_front();
        take_(task.get());
    }

    std::function<void(Result&&)> take_;
    std::size_t max_in_flight_;
    std::deque<std::future<Result>> tasks_;
};

// Results in flight for work spread over the run's workers: two for each
// worker, so that none waits, and no more than `limit`.
inline std::size_t results_in_flight(std::size_t limit) {
    return std::min<std::size_t>(limit, 2 * static_cast<std::size_t>(std::max(1, WorkerPool::shared().workers())));
}

}  // namespace vorlan2
