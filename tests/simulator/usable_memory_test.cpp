// The memory this process may use: a cgroup memory limit less what the
// cgroup holds, and the process limits on address space and data less what
// is mapped.
#include "simulator/usable_memory.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "support/test_files.h"

using namespace vorlan2;

namespace {

constexpr std::size_t MB = std::size_t{1} << 20;
constexpr std::size_t none = SIZE_MAX;

TEST(UsableMemory, CgroupLimitLessWhatItHoldsSmallestOnThePathToTheRoot) {
    const auto bytes = [](std::size_t n) { return std::to_string(n * MB) + "\n"; };
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;
        bool version2;
        std::string root;
        std::string cgroup;
        std::size_t room;
    } cases[] = {
        {"v2 limit less current",
         {{"v2/job/memory.max", bytes(256)}, {"v2/job/memory.current", bytes(100)}},
         true,
         "/",
         "0::/job\n",
         156 * MB},
        {"v2 inactive file cache is room",
         {{"v2/job/memory.max", bytes(256)},
          {"v2/job/memory.current", bytes(250)},
          {"v2/job/memory.stat", "anon 10\nactive_file 0\ninactive_file " + std::to_string(200 * MB) + "\n"}},
         true,
         "/",
         "0::/job\n",
         206 * MB},
        {"v2 no limit",
         {{"v2/job/memory.max", "max\n"}, {"v2/job/memory.current", bytes(100)}},
         true,
         "/",
         "0::/job\n",
         none},
        {"v2 parent's room is smaller",
         {{"v2/batch/memory.max", bytes(200)},
          {"v2/batch/memory.current", bytes(150)},
          {"v2/batch/job/memory.max", bytes(1024)},
          {"v2/batch/job/memory.current", bytes(10)}},
         true,
         "/",
         "0::/batch/job\n",
         50 * MB},
        {"v2 mounted at the cgroup itself (a container)",
         {{"v2/memory.max", bytes(512)}, {"v2/memory.current", bytes(12)}},
         true,
         "/batch/job",
         "0::/batch/job\n",
         500 * MB},
        {"v2 holding more than its limit",
         {{"v2/job/memory.max", bytes(64)}, {"v2/job/memory.current", bytes(65)}},
         true,
         "/",
         "0::/job\n",
         0},
        {"v2 usage unreadable: the limit alone", {{"v2/job/memory.max", bytes(64)}}, true, "/", "0::/job\n", 64 * MB},
        {"v2 no file", {}, true, "/", "0::/job\n", none},
        {"v1 limit less usage and its subtree's inactive file cache",
         {{"v1/job/memory.limit_in_bytes", bytes(256)},
          {"v1/job/memory.usage_in_bytes", bytes(120)},
          {"v1/job/memory.stat", "inactive_file 1\ntotal_inactive_file " + std::to_string(20 * MB) + "\n"}},
         false,
         "/",
         "4:memory:/job\n1:name=systemd:/\n",
         156 * MB},
        {"v1 unlimited",
         {{"v1/job/memory.limit_in_bytes", "9223372036854771712\n"}, {"v1/job/memory.usage_in_bytes", bytes(1)}},
         false,
         "/",
         "4:memory:/job\n",
         9223372036854771712u - MB},
        {"v1 another controller's path only",
         {{"v1/job/memory.limit_in_bytes", bytes(64)}, {"v1/job/memory.usage_in_bytes", bytes(1)}},
         false,
         "/",
         "4:cpu,cpuacct:/job\n",
         none},
    };
    for (const auto& c : cases) {
        CgroupTree tree;
        for (const auto& [file, content] : c.files) tree.write(file, content);
        const std::string mountinfo =
            "23 1 8:1 / / rw - ext4 /dev/vda rw\n" +
            (c.version2 ? tree.mount(c.root, "v2", "cgroup2", "rw") : tree.mount(c.root, "v1", "cgroup", "rw,memory"));
        EXPECT_EQ(cgroup_memory_room(mountinfo, c.cgroup), c.room) << c.name;
    }
}

// A /proc/self/status figure of the calling process, in bytes.
std::size_t status_bytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    for (std::string word; status >> word;) {
        if (word != key) continue;
        std::size_t kib = 0;
        status >> kib;
        return kib * 1024;
    }
    return 0;
}

// usable_memory_bytes() and two fits_in_usable_memory() answers in a child
// whose limit on the resource is set 64 MB above what it uses of it now.
struct Answers {
    std::size_t usable;
    bool fits_32_mb;
    bool fits_96_mb;
};

Answers answers_with_64_mb_left(int resource, const std::string& key) {
    int ends[2];
    if (pipe(ends) != 0) return {};
    const pid_t child = fork();
    if (child == 0) {
        const rlim_t limit = status_bytes(key) + 64 * MB;
        const rlimit value{limit, limit};
        if (setrlimit(resource, &value) != 0) _exit(126);
        const Answers answers{usable_memory_bytes(), fits_in_usable_memory(32 * MB), fits_in_usable_memory(96 * MB)};
        _exit(write(ends[1], &answers, sizeof answers) == sizeof answers ? 0 : 125);
    }
    close(ends[1]);
    Answers answers{};
    const bool read_whole = read(ends[0], &answers, sizeof answers) == sizeof answers;
    close(ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(read_whole && WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    return answers;
}

TEST(UsableMemory, ProcessLimitLessWhatIsMapped) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#endif
    for (const auto& [resource, key] : {std::pair{RLIMIT_AS, "VmSize:"}, std::pair{RLIMIT_DATA, "VmData:"}}) {
        SCOPED_TRACE(key);
        const Answers answers = answers_with_64_mb_left(resource, key);
        // What the child mapped after reading its use is not room any more.
        EXPECT_LE(answers.usable, 64 * MB);
        EXPECT_GE(answers.usable, 48 * MB);
        EXPECT_TRUE(answers.fits_32_mb);
        EXPECT_FALSE(answers.fits_96_mb);
    }
}

}  // namespace
