// The worker pool: tasks start in the order they are handed in, a pool of no
// workers does the work on the caller's thread, destruction waits for every
// task handed in, and a system that refuses threads leaves fewer workers.
#include "common/worker_pool.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

using namespace vorlan2;

namespace {

TEST(WorkerPool, StartsTheAskedWorkersAndNoneForZeroOrLess) {
    const struct { int asked, started; } cases[] = {{-3, 0}, {0, 0}, {1, 1}, {8, 8}};
    for (const auto& c : cases) {
        const WorkerPool pool(c.asked);
        EXPECT_EQ(pool.workers(), c.started) << c.asked << " asked";
    }
}

TEST(WorkerPool, OneWorkerRunsTasksInTheOrderHandedIn) {
    std::vector<int> order;
    {
        WorkerPool pool(1);
        for (int k = 0; k < 200; ++k) pool.run([&order, k] { order.push_back(k); });
    }
    std::vector<int> expected(200);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(order, expected);
}

TEST(WorkerPool, NoWorkersRunTheTaskOnTheCallersThreadBeforeReturning) {
    WorkerPool pool(0);
    std::thread::id ran_on;
    pool.run([&ran_on] { ran_on = std::this_thread::get_id(); });
    EXPECT_EQ(ran_on, std::this_thread::get_id());
}

TEST(WorkerPool, DestructionWaitsForEveryTaskHandedIn) {
    for (const int workers : {1, 8}) {
        std::atomic<int> done{0};
        {
            WorkerPool pool(workers);
            for (int k = 0; k < 64; ++k)
                pool.run([&done] {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    ++done;
                });
        }
        EXPECT_EQ(done.load(), 64) << workers << " workers";
    }
}

// Bytes the process has mapped, from /proc/self/status.
std::size_t mapped_bytes() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == "VmSize:") {
            std::size_t kib = 0;
            status >> kib;
            return kib * 1024;
        }
    return 0;
}

// In an address space with room for a few thread stacks only, the pool
// starts what fits and its workers still do every task.
TEST(WorkerPool, ThreadsThatDoNotFitLeaveFewerWorkersDoingEveryTask) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#endif
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const auto room = static_cast<rlim_t>(mapped_bytes() + (40u << 20));
        const rlimit limit{room, room};
        if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(2);
        std::atomic<int> done{0};
        int workers = 0;
        {
            WorkerPool pool(64);
            workers = pool.workers();
            for (int k = 0; k < 1000; ++k) pool.run([&done] { ++done; });
        }
        _exit(workers < 64 && done.load() == 1000 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
