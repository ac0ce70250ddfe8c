// Work handed to a pool of workers whose results are taken in the order the
// work was handed out: at most a given number of results are in flight, so
// that the memory they hold stays bounded, and the oldest is handed on first.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <new>
#include <utility>

#include "common/worker_pool.h"

namespace vorlan2 {

template <typename Result>
class OrderedTasks {
public:
    // The work runs on `workers`, which outlive this; `take` receives every
    // result, in order, on the thread that submits.
    template <typename Take>
    OrderedTasks(WorkerPool& workers, Take take, std::size_t max_in_flight)
        : workers_(workers), take_(std::move(take)), max_in_flight_(std::max<std::size_t>(1, max_in_flight)) {}

    OrderedTasks(const OrderedTasks&) = delete;
    OrderedTasks& operator=(const OrderedTasks&) = delete;

    // The work may refer to what its submitter owns: nothing is left running.
    ~OrderedTasks() {
        for (auto& task : tasks_)
            if (task.valid()) task.wait();
    }

    // Hands the oldest result on first when the in-flight limit is reached.
    // Work that cannot be handed to a worker for want of memory is done on
    // this thread, once every result before it is handed on.
    template <typename Work>
    void submit(Work work) {
        if (tasks_.size() >= max_in_flight_) take_oldest();
        std::shared_ptr<Work> held;
        try {
            held = std::make_shared<Work>(std::move(work));
        } catch (const std::bad_alloc&) {
            run_here(work);  // not moved from: nothing was built from it
            return;
        }
        try {
            auto task = std::make_shared<std::packaged_task<Result()>>([held] { return (*held)(); });
            tasks_.push_back(task->get_future());
            try {
                workers_.run([task] { (*task)(); });
            } catch (...) {
                tasks_.pop_back();
                throw;
            }
        } catch (const std::bad_alloc&) {
            run_here(*held);
        }
    }

    // Hands on every result still in flight.
    void finish() {
        while (!tasks_.empty()) take_oldest();
    }

    // Hands on the oldest result still in flight, waiting for it; none when
    // nothing is in flight. Raises what its work or `take` raised; that result
    // is gone then and the later ones stay in flight. Every call here that
    // hands results on raises the same way.
    void take_oldest() {
        if (tasks_.empty()) return;
        auto task = std::move(tasks_.front());
        tasks_.pop_front();
        take_(task.get());
    }

    // Runs a step of the submitting thread that takes memory. Where there is
    // none, the oldest result is handed on, freeing what it holds, and fewer
    // results are in flight from then on, until the step succeeds; raises
    // std::bad_alloc when it fails with nothing in flight.
    template <typename Step>
    void with_fewer_in_flight(Step step) {
        for (;;) {
            try {
                step();
                return;
            } catch (const std::bad_alloc&) {
                if (tasks_.empty()) throw;
            }
            limit_in_flight(tasks_.size() - 1);
            take_oldest();
        }
    }

    // Waits until the work in flight is done, handing on nothing.
    void wait_for_all() const {
        for (const auto& task : tasks_) task.wait();
    }

    std::size_t in_flight() const { return tasks_.size(); }

    // From now on at most this many results (at least one) are in flight;
    // those in flight already stay.
    void limit_in_flight(std::size_t max_in_flight) { max_in_flight_ = std::max<std::size_t>(1, max_in_flight); }

private:
    template <typename Work>
    void run_here(Work& work) {
        finish();
        take_(work());
    }

    WorkerPool& workers_;
    std::function<void(Result&&)> take_;
    std::size_t max_in_flight_;
    std::deque<std::future<Result>> tasks_;
};

// Results in flight for work spread over these workers: two for each worker,
// so that none waits, and no more than `limit`.
inline std::size_t results_in_flight(const WorkerPool& workers, std::size_t limit) {
    return std::min<std::size_t>(limit, 2 * static_cast<std::size_t>(std::max(1, workers.workers())));
}

}  // namespace vorlan2
