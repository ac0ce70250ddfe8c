// The CPUs this process may use: its affinity mask and a cgroup CPU quota.
#include "common/usable_cpus.h"

#include <sched.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_files.h"

using namespace vorlan2;

namespace {

TEST(UsableCpus, PinnedToOneCpuGivesOneWorker) {
    cpu_set_t saved;
    ASSERT_EQ(sched_getaffinity(0, sizeof saved, &saved), 0);
    ASSERT_TRUE(pin_to_first_cpu());
    const int pinned = usable_cpus();
    ASSERT_EQ(sched_setaffinity(0, sizeof saved, &saved), 0);
    EXPECT_EQ(pinned, 1);
    EXPECT_LE(usable_cpus(), CPU_COUNT(&saved));
}

TEST(UsableCpus, CgroupQuotaRoundedUpAndSmallestOnThePathToTheRoot) {
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;
        bool version2;
        std::string root;
        std::string cgroup;
        int limit;
    } cases[] = {
        {"v2 no quota", {{"v2/job/cpu.max", "max 100000\n"}}, true, "/", "0::/job\n", 0},
        {"v2 one and a half CPUs", {{"v2/job/cpu.max", "150000 100000\n"}}, true, "/", "0::/job\n", 2},
        {"v2 parent's quota is smaller",
         {{"v2/batch/cpu.max", "100000 100000\n"}, {"v2/batch/job/cpu.max", "400000 100000\n"}},
         true,
         "/",
         "0::/batch/job\n",
         1},
        {"v2 mounted at the cgroup itself (a container)",
         {{"v2/cpu.max", "300000 100000\n"}},
         true,
         "/batch/job",
         "0::/batch/job\n",
         3},
        {"v2 no file", {}, true, "/", "0::/job\n", 0},
        {"v1 quota",
         {{"v1/job/cpu.cfs_quota_us", "250000\n"}, {"v1/job/cpu.cfs_period_us", "100000\n"}},
         false,
         "/",
         "4:cpu,cpuacct:/job\n1:name=systemd:/\n",
         3},
        {"v1 unlimited",
         {{"v1/job/cpu.cfs_quota_us", "-1\n"}, {"v1/job/cpu.cfs_period_us", "100000\n"}},
         false,
         "/",
         "4:cpu,cpuacct:/job\n",
         0},
        {"v1 another controller's path only",
         {{"v1/job/cpu.cfs_quota_us", "100000\n"}, {"v1/job/cpu.cfs_period_us", "100000\n"}},
         false,
         "/",
         "4:memory:/job\n",
         0},
    };
    for (const auto& c : cases) {
        CgroupTree tree;
        for (const auto& [file, content] : c.files) tree.write(file, content);
        const std::string mountinfo = "23 1 8:1 / / rw - ext4 /dev/vda rw\n" +
                                      (c.version2 ? tree.mount(c.root, "v2", "cgroup2", "rw")
                                                  : tree.mount(c.root, "v1", "cgroup", "rw,cpu,cpuacct"));
        EXPECT_EQ(cgroup_cpu_limit(mountinfo, c.cgroup), c.limit) << c.name;
    }
}

}  // namespace
