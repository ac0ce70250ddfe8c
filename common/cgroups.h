// Where the cgroups of a process keep their limits: the directories of its
// own cgroup and of those above it, found through the mount table, for the
// CPU and memory limits that a container or a batch job sets.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vorlan2 {

struct CgroupDirectory {
    std::filesystem::path path;
    bool version2;  // the unified hierarchy's file names (cpu.max, memory.max)
};

// The directories that hold the controller's files for a process, from the
// text of its /proc/self/mountinfo and /proc/self/cgroup: for each hierarchy
// that serves the controller (cgroup v1 mounted with it, and cgroup v2), the
// mount point and every directory below it down to the process's own cgroup.
// Empty when the process's cgroup lies outside every mounted hierarchy.
std::vector<CgroupDirectory> cgroup_directories(const std::string& mountinfo, const std::string& cgroup,
                                                const std::string& controller);

// The whole text of a small file (a /proc or cgroup file); empty when it
// cannot be read.
std::string read_small_file(const std::filesystem::path& path);

}  // namespace vorlan2
