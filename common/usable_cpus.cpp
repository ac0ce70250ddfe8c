// The affinity mask from sched_getaffinity and the cgroup quotas from the
// cgroup file systems that /proc/self/mountinfo lists.
#include "common/usable_cpus.h"

#include <sched.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <sstream>

#include "common/cgroups.h"

namespace vorlan2 {

namespace {

namespace fs = std::filesystem;

// The CPUs of one quota file pair, rounded up; 0 for none.
int quota_cpus(long long quota, long long period) {
    if (quota <= 0 || period <= 0) return 0;
    const long long cpus = (quota + period - 1) / period;
    return static_cast<int>(std::min<long long>(cpus, 1 << 20));
}

int quota_in(const fs::path& directory, bool version2) {
    long long quota = 0;
    long long period = 0;
    if (version2) {
        std::istringstream max(read_small_file(directory / "cpu.max"));
        std::string first;
        if (!(max >> first >> period) || first == "max") return 0;
        std::istringstream(first) >> quota;
    } else {
        std::istringstream(read_small_file(directory / "cpu.cfs_quota_us")) >> quota;
        std::istringstream(read_small_file(directory / "cpu.cfs_period_us")) >> period;
    }
    return quota_cpus(quota, period);
}

int affinity_cpus() {
    for (int size = 1024; size <= (1 << 20); size *= 2) {
        cpu_set_t* set = CPU_ALLOC(size);
        if (set == nullptr) return 1;
        const std::size_t bytes = CPU_ALLOC_SIZE(size);
        const int result = sched_getaffinity(0, bytes, set);
        const int count = result == 0 ? CPU_COUNT_S(bytes, set) : 0;
        CPU_FREE(set);
        if (result == 0) return std::max(count, 1);
        if (errno != EINVAL) return 1;
    }
    return 1;
}

}  // namespace

int cgroup_cpu_limit(const std::string& mountinfo, const std::string& cgroup) {
    int limit = 0;
    for (const CgroupDirectory& directory : cgroup_directories(mountinfo, cgroup, "cpu")) {
        const int cpus = quota_in(directory.path, directory.version2);
        if (cpus > 0 && (limit == 0 || cpus < limit)) limit = cpus;
    }
    return limit;
}

int usable_cpus() {
    const int affinity = affinity_cpus();
    const int quota = cgroup_cpu_limit(read_small_file("/proc/self/mountinfo"), read_small_file("/proc/self/cgroup"));
    return quota > 0 ? std::min(affinity, quota) : affinity;
}

}  // namespace vorlan2
