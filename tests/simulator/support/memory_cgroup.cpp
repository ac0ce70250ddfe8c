// The test process's memory cgroups from the mount table, a child directory
// made in the first that takes a limit.
#include "simulator/support/memory_cgroup.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <vector>

#include "common/cgroups.h"

namespace fs = std::filesystem;

namespace {

bool write_text(const fs::path& file, const std::string& text) {
    std::ofstream out(file);
    out << text << std::flush;
    return static_cast<bool>(out);
}

}  // namespace

MemoryCgroup::MemoryCgroup(std::size_t limit_bytes) {
    static std::atomic<int> made{0};
    const std::vector<vorlan2::CgroupDirectory> directories = vorlan2::cgroup_directories(
        vorlan2::read_small_file("/proc/self/mountinfo"), vorlan2::read_small_file("/proc/self/cgroup"), "memory");
    unavailable_ = "no memory cgroup of this process is mounted";
    for (std::size_t k = 0; k < directories.size(); ++k) {
        // The process's own cgroup is the last directory of its hierarchy.
        if (k + 1 < directories.size() && directories[k + 1].version2 == directories[k].version2 &&
            directories[k + 1].path.parent_path() == directories[k].path)
            continue;
        const fs::path candidate = directories[k].path /
                                   ("vorlan2-test-" + std::to_string(getpid()) + "-" + std::to_string(++made));
        std::error_code error;
        if (!fs::create_directory(candidate, error)) {
            unavailable_ = "cannot make a cgroup under " + directories[k].path.string() + ": " + error.message();
            continue;
        }
        const fs::path limit = candidate / (directories[k].version2 ? "memory.max" : "memory.limit_in_bytes");
        if (fs::exists(limit) && write_text(limit, std::to_string(limit_bytes))) {
            directory_ = candidate;
            unavailable_.clear();
            return;
        }
        unavailable_ = "the memory controller is not enabled under " + directories[k].path.string();
        fs::remove(candidate, error);
    }
}

MemoryCgroup::~MemoryCgroup() {
    std::error_code ignored;
    if (!directory_.empty()) fs::remove(directory_, ignored);
}

void MemoryCgroup::join() const {
    if (directory_.empty() || !write_text(directory_ / "cgroup.procs", std::to_string(getpid()))) _exit(126);
}
