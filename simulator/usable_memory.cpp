// The machine's memory from sysconf, the cgroup limits from the cgroup file
// systems and the process limits from getrlimit and /proc/self/status, read
// afresh at every call: what the process holds changes as it runs.
#include "simulator/usable_memory.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>
#include <sstream>
#include <string_view>

#include "common/cgroups.h"

namespace vorlan2 {

namespace {

constexpr std::size_t unlimited = std::numeric_limits<std::size_t>::max();

// The decimal number at the start of the text; none for "max" or other text.
std::optional<std::size_t> leading_number(std::string_view text) {
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    return value;
}

// The number after the key on a "key value" line (memory.stat, or
// /proc/self/status with its "VmSize:" keys).
std::optional<std::size_t> keyed_value(const std::string& text, std::string_view key) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.size() <= key.size() || line.compare(0, key.size(), key) != 0) continue;
        const std::size_t start = line.find_first_not_of(" \t", key.size());
        if (start == key.size() || start == std::string::npos) continue;
        return leading_number(std::string_view(line).substr(start));
    }
    return std::nullopt;
}

std::size_t less_held(std::size_t limit, std::size_t held) { return limit > held ? limit - held : 0; }

// One cgroup's limit less what it holds. Inactive file pages (files read or
// written long ago) are reclaimed before the limit kills anyone, so they are
// room: a job that read a large file first would otherwise find none.
std::size_t room_in(const CgroupDirectory& directory) {
    const bool v2 = directory.version2;
    const auto limit = leading_number(read_small_file(directory.path / (v2 ? "memory.max" : "memory.limit_in_bytes")));
    if (!limit) return unlimited;
    const auto usage =
        leading_number(read_small_file(directory.path / (v2 ? "memory.current" : "memory.usage_in_bytes")));
    if (!usage) return *limit;
    const std::size_t reclaimable =
        keyed_value(read_small_file(directory.path / "memory.stat"), v2 ? "inactive_file" : "total_inactive_file")
            .value_or(0);
    return less_held(*limit, *usage > reclaimable ? *usage - reclaimable : 0);
}

std::size_t physical_memory() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long page_size = sysconf(_SC_PAGESIZE);
    std::size_t bytes = 0;
    if (pages <= 0 || page_size <= 0 ||
        __builtin_mul_overflow(static_cast<std::size_t>(pages), static_cast<std::size_t>(page_size), &bytes))
        return unlimited;
    return bytes;
}

// RLIMIT_AS less what is mapped, RLIMIT_DATA less the data segment; a usage
// that cannot be read leaves the limit whole.
std::size_t process_limit_room() {
    const std::string status = read_small_file("/proc/self/status");
    std::size_t room = unlimited;
    const auto less_used = [&](int resource, std::string_view key) {
        rlimit limit{};
        if (getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return;
        const std::size_t kib = keyed_value(status, key).value_or(0);
        const std::size_t used = kib > unlimited / 1024 ? unlimited : kib * 1024;
        room = std::min(room, less_held(static_cast<std::size_t>(limit.rlim_cur), used));
    };
    less_used(RLIMIT_AS, "VmSize:");
    less_used(RLIMIT_DATA, "VmData:");
    return room;
}

}  // namespace

std::size_t cgroup_memory_room(const std::string& mountinfo, const std::string& cgroup) {
    std::size_t room = unlimited;
    for (const CgroupDirectory& directory : cgroup_directories(mountinfo, cgroup, "memory"))
        room = std::min(room, room_in(directory));
    return room;
}

std::size_t usable_memory_bytes() {
    const std::size_t cgroup =
        cgroup_memory_room(read_small_file("/proc/self/mountinfo"), read_small_file("/proc/self/cgroup"));
    return std::min({physical_memory(), cgroup, process_limit_room()});
}

bool fits_in_usable_memory(std::size_t bytes) { return bytes <= usable_memory_bytes(); }

}  // namespace vorlan2
