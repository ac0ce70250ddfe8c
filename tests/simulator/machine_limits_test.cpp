// The whole program at the limits of the machine and of a batch job: a
// console pipe closed early, a file-size limit, a line without end under an
// address-space limit, and runs started together without a fixed seed.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "simulator/support/whole_program_cases.h"

namespace {

namespace fs = std::filesystem;
using namespace whole_program;

void limit(int resource, rlim_t bytes) {
    const rlimit value{bytes, bytes};
    if (setrlimit(resource, &value) != 0) _exit(126);
}

// The line before the elapsed-time line names the file and says what failed.
bool fails_naming(const std::string& text, const std::string& file) {
    return std::regex_search(text, std::regex(std::regex_replace(file, std::regex("\\."), "\\.") +
                                              "[^\n]*\n\n\nVORLAN took [0-9]+ seconds[^\n]*\n$"));
}

TEST(MachineLimits, ConsolePipeClosedEarlyEndsTheRunWithItsMessage) {
    const RunDirectory dir;
    const ProgramRun run = run_vorlan2_program(words_with({}), dir.path(), [] {
        int ends[2];
        if (pipe(ends) != 0 || close(ends[0]) != 0 || dup2(ends[1], STDOUT_FILENO) < 0) _exit(126);
    });
    const std::string message = "Error: can't write standard output: Broken pipe.";
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, message + "\n");
    // The summary records why the run stopped, before any simulation.
    const std::string summary = dir.file("run.summary");
    EXPECT_TRUE(ends_with_error(summary, message)) << summary;
    EXPECT_FALSE(fs::exists(dir.path() / "run.controls.haps"));
}

TEST(MachineLimits, FileSizeLimitFailsTheWriteWithItsMessage) {
    const RunDirectory dir;
    // 4000 control haplotypes make lines of 8 kB; the transcript stays far below the limit.
    const ProgramRun run =
        run_vorlan2_program(words_with({"-n", "2000", "2000"}), dir.path(), [] { limit(RLIMIT_FSIZE, 16 << 10); });
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(fails_naming(run.out, "run.controls.haps")) << tail(run.out);
    EXPECT_TRUE(fails_naming(dir.file("run.summary"), "run.controls.haps"));
    EXPECT_FALSE(fs::exists(dir.path() / "run.cases.haps"));
}

TEST(MachineLimits, LineWithoutEndIsRefusedBeforeMemoryRunsOut) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#endif
    for (const char* flag : {"-m", "-h"}) {
        SCOPED_TRACE(flag);
        const RunDirectory dir;
        const ProgramRun run = run_vorlan2_program(words_with({flag, "/dev/zero"}), dir.path(),
                                                   [] { limit(RLIMIT_AS, rlim_t{256} << 20); });
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(ends_with_error(run.out, bad_file("/dev/zero", "line 1 is too long to fit in memory.")))
            << tail(run.out);
    }
}

TEST(MachineLimits, RunsStartedTogetherWithoutFixedSeedDiffer) {
    std::vector<std::string> words;
    for (const auto& word : base_words)
        if (word != "-nrs") words.push_back(word);
    constexpr int runs = 4;
    std::vector<RunDirectory> dirs(runs);
    std::vector<ProgramRun> results(runs);
    std::vector<std::thread> threads;
    for (int k = 0; k < runs; ++k)
        threads.emplace_back(
            [&, k] { results[static_cast<std::size_t>(k)] = dirs[static_cast<std::size_t>(k)].run(words); });
    for (auto& thread : threads) thread.join();

    std::set<std::string> seeds;
    const std::regex seed_line("\nRandom seed set to ([0-9.e-]+)\n");
    for (const auto& run : results) {
        std::smatch match;
        ASSERT_TRUE(std::regex_search(run.out, match, seed_line)) << tail(run.out);
        seeds.insert(match.str(1));
    }
    EXPECT_EQ(seeds.size(), static_cast<std::size_t>(runs));
}

}  // namespace
