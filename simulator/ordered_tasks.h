// Work spread over all cores whose results are taken in the order the work
// was handed out: each task runs on a thread of its own, at most a few per
// core are in flight, and the oldest result is handed on first.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <future>
#include <thread>
#include <utility>

template <typename Result>
class OrderedTasks {
public:
    // `take` receives every result, in order.
    template <typename Take>
    explicit OrderedTasks(Take take)
        : take_(std::move(take)), max_in_flight_(2 * std::max(1u, std::thread::hardware_concurrency())) {}

    OrderedTasks(const OrderedTasks&) = delete;
    OrderedTasks& operator=(const OrderedTasks&) = delete;

    ~OrderedTasks() {
        for (auto& task : tasks_)
            if (task.valid()) task.wait();
    }

    template <typename Work>
    void submit(Work work) {
        if (tasks_.size() >= max_in_flight_) take_oldest();
        tasks_.push_back(std::async(std::launch::async, std::move(work)));
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
