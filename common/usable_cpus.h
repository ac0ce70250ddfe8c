// How many CPUs this process may run on: its affinity mask, lowered to a
// cgroup CPU quota where one is set, so that a pinned or throttled run starts
// no more workers than it can run at once.
#pragma once

#include <string>

namespace vorlan2 {

// At least 1.
int usable_cpus();

// The CPUs that the cgroup CPU quotas of a process allow (each quota rounded
// up to whole CPUs; the smallest along the cgroup's path up to its root), from
// the text of its /proc/self/mountinfo and /proc/self/cgroup; 0 when no quota
// is set or none can be read. Reads cpu.max (cgroup v2) and
// cpu.cfs_quota_us / cpu.cfs_period_us (cgroup v1) under the mount points
// that mountinfo names.
int cgroup_cpu_limit(const std::string& mountinfo, const std::string& cgroup);

}  // namespace vorlan2
