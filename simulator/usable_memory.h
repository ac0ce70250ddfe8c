// The memory this process may still take, against which the run refuses,
// before the work, anything it would build that could not fit: a batch job's
// or a container's limit counts, not only the machine's memory.
#pragma once

#include <cstddef>
#include <string>

namespace vorlan2 {

// The least of: the machine's physical memory; for each cgroup on the path
// from the process's own memory cgroup up to its hierarchy's mount point,
// its limit less what it holds (v2 memory.max and memory.current, v1
// memory.limit_in_bytes and memory.usage_in_bytes, the file cache that the
// kernel reclaims before it kills not counted as held); RLIMIT_AS less what
// the process has mapped and RLIMIT_DATA less its data segment. A limit that
// is absent or cannot be read does not count; SIZE_MAX when none can be read.
std::size_t usable_memory_bytes();

// Whether `bytes` fit in usable_memory_bytes().
bool fits_in_usable_memory(std::size_t bytes);

// The cgroup part of usable_memory_bytes() for a process with this
// /proc/self/mountinfo and /proc/self/cgroup; SIZE_MAX when no memory limit
// is set or none can be read.
std::size_t cgroup_memory_room(const std::string& mountinfo, const std::string& cgroup);

}  // namespace vorlan2
