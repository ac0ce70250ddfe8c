// The whole program within the memory a batch job may use: under a cgroup
// memory limit or an address-space limit, a run that cannot fit and a line
// without end are refused with a message naming the memory, never killed; a
// run that fits gives the bytes it gives without a limit, and more memory
// never makes a compressed run fail.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "simulator/support/memory_cgroup.h"
#include "simulator/support/whole_program_cases.h"

namespace {

namespace fs = std::filesystem;
using namespace whole_program;

constexpr std::size_t MB = std::size_t{1} << 20;
const fs::path examples = fs::path(VORLAN2_SOURCE_DIR) / "examples";

// The example panel (100 haplotypes, 2,000 SNPs) with its tag file.
std::vector<std::string> example_words(int individuals, const std::string& output) {
    const std::string n = std::to_string(individuals);
    return {"-h",  (examples / "example.haps").string(),
            "-l",  (examples / "example.legend").string(),
            "-m",  (examples / "example.map").string(),
            "-t",  (examples / "example.tags").string(),
            "-o",  output,
            "-n",  n,
            n,     "-nrs",
            "-dl", "1500000",
            "1",   "1.5",
            "2.25"};
}

void limit_address_space(std::size_t bytes) {
    const rlimit value{bytes, bytes};
    if (setrlimit(RLIMIT_AS, &value) != 0) _exit(126);
}

// Fills the cgroup of the calling process with file cache: a file larger
// than its limit, written and synced.
void fill_with_file_cache(std::size_t bytes) {
    static char block[1 << 20];
    const int file = open("cache.fill", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file < 0) _exit(126);
    for (std::size_t done = 0; done < bytes; done += sizeof block)
        if (write(file, block, sizeof block) != static_cast<ssize_t>(sizeof block)) _exit(126);
    if (fsync(file) != 0 || close(file) != 0 || unlink("cache.fill") != 0) _exit(126);
}

// The transcript's last lines refuse the run for want of memory.
bool refused_for_memory(const std::string& transcript, const std::string& haplotypes, const std::string& megabytes) {
    const std::regex message("\nError encountered, program terminated: the " + haplotypes +
                             " simulated haplotypes of 2000 SNPs would take " + megabytes +
                             " MB, more than the [0-9]+ MB of memory this run may use for them; simulate fewer "
                             "individuals or a shorter interval\\.\n\n\n\nVORLAN took [0-9]+ seconds");
    return std::regex_search(transcript, message) && ends_with_elapsed_line(transcript);
}

struct MemoryLimit {
    const char* name;
    bool cgroup;  // a cgroup memory limit; otherwise RLIMIT_AS
    std::size_t bytes;
};

class UnderLimit : public ::testing::TestWithParam<MemoryLimit> {
protected:
    void SetUp() override {
        if (GetParam().cgroup) {
            cgroup_.emplace(GetParam().bytes);
            if (!cgroup_->unavailable().empty()) GTEST_SKIP() << cgroup_->unavailable();
        } else {
#if defined(__SANITIZE_ADDRESS__)
            GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#endif
        }
    }

    // Runs the program in the directory under the limit; `before` runs in
    // its process first, inside the limit.
    ProgramRun run(const std::vector<std::string>& words, const fs::path& directory,
                   void (*before)(std::size_t) = nullptr) const {
        const MemoryLimit limit = GetParam();
        const MemoryCgroup* cgroup = cgroup_ ? &*cgroup_ : nullptr;
        return run_vorlan2_program(words, directory, [limit, cgroup, before] {
            if (cgroup != nullptr) {
                cgroup->join();
            } else {
                limit_address_space(limit.bytes);
            }
            if (before != nullptr) before(limit.bytes + 64 * MB);
        });
    }

    std::optional<MemoryCgroup> cgroup_;
};

TEST_P(UnderLimit, TooLargeRunIsRefusedBeforeTheWork) {
    const TempDir dir;
    // 1,200,000 individuals on the example panel: 585 MB of haplotypes.
    const ProgramRun run = this->run(example_words(600000, "run"), dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(refused_for_memory(run.out, "2400000", "585")) << tail(run.out);
    EXPECT_EQ(run.out.find("Simulating haplotypes"), std::string::npos);
    EXPECT_TRUE(refused_for_memory(read_file(dir.file("run.summary")), "2400000", "585"));
}

TEST_P(UnderLimit, LineWithoutEndIsRefusedForEveryInput) {
    for (const char* flag : {"-h", "-l", "-m", "-t"}) {
        SCOPED_TRACE(flag);
        const TempDir dir;
        std::vector<std::string> words = example_words(20, "run");
        words.insert(words.end(), {flag, "/dev/zero"});
        const ProgramRun run = this->run(words, dir.path());
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(ends_with_error(run.out, bad_file("/dev/zero", "line 1 is too long to fit in memory.")))
            << tail(run.out);
    }
}

TEST_P(UnderLimit, FittingRunGivesTheBytesOfAnUnlimitedRun) {
    const TempDir dir;
    for (const std::string output : {"plain/run", "gzip/run.gz"}) {
        SCOPED_TRACE(output);
        const ProgramRun free_run = run_vorlan2_program(example_words(2000, "free/" + output), dir.path());
        ASSERT_EQ(free_run.status, 0) << tail(free_run.out);
        // The first run in the cgroup finds it full of the cache of a file
        // written before it, which the kernel reclaims as the run needs it.
        const bool first = output == "plain/run";
        const ProgramRun run = this->run(example_words(2000, "limited/" + output), dir.path(),
                                         first && GetParam().cgroup ? fill_with_file_cache : nullptr);
        ASSERT_EQ(run.status, 0) << tail(run.out);
        const fs::path free_files = (dir.path() / "free" / output).parent_path();
        int compared = 0;
        for (const auto& entry : fs::directory_iterator(free_files)) {
            const std::string name = entry.path().filename().string();
            if (name.size() > 8 && name.compare(name.size() - 8, 8, ".summary") == 0) continue;
            EXPECT_EQ(read_file(entry.path().string()),
                      read_file((dir.path() / "limited" / fs::path(output).parent_path() / name).string()))
                << name;
            ++compared;
        }
        EXPECT_EQ(compared, 9);
    }
}

INSTANTIATE_TEST_SUITE_P(Limits, UnderLimit,
                         ::testing::Values(MemoryLimit{"Cgroup256MB", true, 256 * MB},
                                           MemoryLimit{"Cgroup512MB", true, 512 * MB},
                                           MemoryLimit{"AddressSpace512MB", false, 512 * MB}),
                         [](const ::testing::TestParamInfo<MemoryLimit>& info) { return info.param.name; });

TEST(MemoryLimits, LineWithoutEndWithoutLimitEndsBeforeAQuarterOfTheMachine) {
    const TempDir dir;
    std::vector<std::string> words = example_words(20, "run");
    words.insert(words.end(), {"-h", "/dev/zero"});
    const ProgramRun run = run_vorlan2_program(words, dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(ends_with_error(run.out, bad_file("/dev/zero", "line 1 is too long to fit in memory.")))
        << tail(run.out);
    // The largest resident set of the children waited for: the program's in
    // a test run alone, as CTest runs it.
    rusage children{};
    ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &children), 0);
    const double machine_kib = static_cast<double>(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGESIZE) / 1024;
    EXPECT_LT(static_cast<double>(children.ru_maxrss), machine_kib / 4);
}

// Where a compressed run could finish in less address space, it finishes in
// more, with the same bytes: the writers fall back to fewer blocks in flight
// when buffers run short instead of failing.
TEST(MemoryLimits, CompressedRunFinishesInAnyAddressSpaceAboveTheLeastItNeeds) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#endif
    const TempDir dir;
    const ProgramRun free_run = run_vorlan2_program(example_words(2000, "free/run.gz"), dir.path());
    ASSERT_EQ(free_run.status, 0) << tail(free_run.out);
    const std::regex memory_message(
        "\n(Error: not enough memory to complete the run\\.|Error reading file [^\n]*: can't write file \\(Cannot "
        "allocate memory\\)\\.|Error encountered, program terminated: [^\n]* MB of memory this run may use [^\n]*)"
        "\n\n\nVORLAN took");
    std::optional<std::size_t> least;
    for (std::size_t megabytes = 64; megabytes <= 320; megabytes += 32) {
        SCOPED_TRACE(std::to_string(megabytes) + " MB");
        const std::string output = "limited" + std::to_string(megabytes) + "/run.gz";
        const ProgramRun run = run_vorlan2_program(example_words(2000, output), dir.path(),
                                                   [megabytes] { limit_address_space(megabytes * MB); });
        if (run.status != 0) {
            EXPECT_FALSE(least) << "failed with more than the " << *least << " MB it finished in";
            EXPECT_EQ(run.status, 1);
            EXPECT_TRUE(std::regex_search(run.out, memory_message)) << tail(run.out);
            continue;
        }
        if (!least) least = megabytes;
        for (const char* name : {"run.controls.haps.gz", "run.cases.gen.gz", "run.cases.tags.gen.gz"})
            EXPECT_EQ(read_file(dir.file("free/" + std::string(name))),
                      read_file(dir.file("limited" + std::to_string(megabytes) + "/" + name)))
                << name;
        fs::remove_all(dir.path() / fs::path(output).parent_path());
    }
    EXPECT_TRUE(least) << "no limit up to 320 MB let the run finish";
}

}  // namespace
