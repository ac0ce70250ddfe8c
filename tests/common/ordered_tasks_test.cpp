// Ordered tasks on a pool: results handed on in the order the work was handed
// out whatever order it finishes in, at most the limit in flight, the
// exception of a work reaching the submitter in its turn, fewer in flight
// where a step finds no memory, and nothing left running at destruction.
#include "common/ordered_tasks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <new>
#include <numeric>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace vorlan2;

namespace {

const int worker_counts[] = {0, 1, 8};

std::vector<int> first_numbers(int n) {
    std::vector<int> numbers(static_cast<std::size_t>(n));
    std::iota(numbers.begin(), numbers.end(), 0);
    return numbers;
}

void pause_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

TEST(OrderedTasks, ResultsComeInTheOrderOfTheWorkWhateverOrderItEnds) {
    for (const int workers : worker_counts) {
        WorkerPool pool(workers);
        std::vector<int> taken;
        OrderedTasks<int> tasks(
            pool, [&taken](int&& k) { taken.push_back(k); }, 6);
        // Every fourth work ends well after the ones handed out after it.
        for (int k = 0; k < 40; ++k)
            tasks.submit([k] {
                if (k % 4 == 0) pause_ms(5);
                return k;
            });
        tasks.finish();
        EXPECT_EQ(taken, first_numbers(40)) << workers << " workers";
        EXPECT_EQ(tasks.in_flight(), 0u);
    }
}

TEST(OrderedTasks, NoMoreWorkRunsAtOnceThanTheLimit) {
    for (const std::size_t limit : {1u, 3u}) {
        WorkerPool pool(8);
        std::atomic<int> running{0};
        std::atomic<int> most{0};
        int taken = 0;
        OrderedTasks<int> tasks(
            pool, [&taken](int&&) { ++taken; }, limit);
        for (int k = 0; k < 30; ++k) {
            tasks.submit([&] {
                const int now = ++running;
                int seen = most.load();
                while (now > seen && !most.compare_exchange_weak(seen, now)) {
                }
                pause_ms(1);
                --running;
                return 0;
            });
            EXPECT_LE(tasks.in_flight(), limit);
        }
        tasks.finish();
        EXPECT_EQ(taken, 30);
        EXPECT_LE(most.load(), static_cast<int>(limit)) << "limit " << limit;
    }
}

TEST(OrderedTasks, ResultsInFlightAreTwoPerWorkerUpToTheLimit) {
    const struct {
        int workers;
        std::size_t limit, in_flight;
    } cases[] = {{0, 16, 2}, {1, 16, 2}, {4, 16, 8}, {8, 16, 16}, {8, 5, 5}};
    for (const auto& c : cases) {
        const WorkerPool pool(c.workers);
        EXPECT_EQ(results_in_flight(pool, c.limit), c.in_flight) << c.workers << " workers, limit " << c.limit;
    }
}

// The results before the failed work are handed on, the failure reaches the
// submitter, and the results after it are still there to take.
TEST(OrderedTasks, ExceptionOfAWorkReachesTheSubmitterInItsTurn) {
    for (const int workers : worker_counts) {
        WorkerPool pool(workers);
        std::vector<int> taken;
        OrderedTasks<int> tasks(
            pool, [&taken](int&& k) { taken.push_back(k); }, 16);
        for (int k = 0; k < 6; ++k)
            tasks.submit([k] {
                if (k == 3) throw std::runtime_error("work 3 failed");
                return k;
            });
        try {
            tasks.finish();
            ADD_FAILURE() << "the failed work passed, " << workers << " workers";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "work 3 failed");
        }
        EXPECT_EQ(taken, (std::vector<int>{0, 1, 2})) << workers << " workers";
        tasks.finish();
        EXPECT_EQ(taken, (std::vector<int>{0, 1, 2, 4, 5})) << workers << " workers";
    }
}

// A step of the submitter that finds no memory while more than two results
// are in flight: the oldest are handed on, in order, until it succeeds, and
// no more than two are in flight from then on.
TEST(OrderedTasks, StepShortOfMemoryLeavesFewerInFlight) {
    for (const int workers : worker_counts) {
        WorkerPool pool(workers);
        std::vector<int> taken;
        OrderedTasks<int> tasks(
            pool, [&taken](int&& k) { taken.push_back(k); }, 8);
        for (int k = 0; k < 6; ++k) tasks.submit([k] { return k; });
        int attempts = 0;
        tasks.with_fewer_in_flight([&] {
            ++attempts;
            if (tasks.in_flight() > 2) throw std::bad_alloc();
        });
        EXPECT_EQ(attempts, 5) << workers << " workers";
        EXPECT_EQ(taken, first_numbers(4)) << workers << " workers";
        for (int k = 6; k < 10; ++k) {
            tasks.submit([k] { return k; });
            EXPECT_LE(tasks.in_flight(), 2u);
        }
        tasks.finish();
        EXPECT_EQ(taken, first_numbers(10)) << workers << " workers";
    }
}

TEST(OrderedTasks, StepShortOfMemoryWithNothingInFlightRaises) {
    WorkerPool pool(2);
    OrderedTasks<int> tasks(
        pool, [](int&&) {}, 4);
    EXPECT_THROW(tasks.with_fewer_in_flight([] { throw std::bad_alloc(); }), std::bad_alloc);
}

// The work writes into what its submitter owns; destroyed with the work in
// flight, the tasks wait for it instead of leaving it to write into freed
// memory.
TEST(OrderedTasks, DestructionWaitsForTheWorkInFlight) {
    WorkerPool pool(8);
    std::vector<int> written(8, 0);
    {
        OrderedTasks<int> tasks(
            pool, [](int&&) {}, 8);
        for (int k = 0; k < 8; ++k)
            tasks.submit([&written, k] {
                pause_ms(20);
                written[static_cast<std::size_t>(k)] = 1;
                return k;
            });
    }
    EXPECT_EQ(std::count(written.begin(), written.end(), 1), 8);
}

}  // namespace
