// The affinity mask from sched_getaffinity and the cgroup quotas from the
// cgroup file systems that /proc/self/mountinfo lists.
#include "common/usable_cpus.h"

#include <sched.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace vorlan2 {

namespace {

namespace fs = std::filesystem;

std::string read_whole(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return in ? text.str() : std::string();
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
    return parts;
}

bool contains(const std::vector<std::string>& words, const std::string& word) {
    return std::find(words.begin(), words.end(), word) != words.end();
}

// Mount points are written with octal escapes for blanks and backslashes.
std::string unescape(const std::string& field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const std::string digits = field.substr(i + 1, 3);
        if (field[i] == '\\' && digits.size() == 3 && digits.find_first_not_of("01234567") == std::string::npos) {
            text += static_cast<char>(std::stoi(digits, nullptr, 8));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

struct CgroupMount {
    std::string root;  // the directory of the hierarchy mounted there
    fs::path mount_point;
    bool version2;
};

std::vector<CgroupMount> cpu_cgroup_mounts(const std::string& mountinfo) {
    std::vector<CgroupMount> mounts;
    for (const std::string& line : split(mountinfo, '\n')) {
        std::istringstream fields(line);
        std::vector<std::string> words;
        for (std::string word; fields >> word;) words.push_back(word);
        const auto dash = std::find(words.begin(), words.end(), "-");
        if (words.size() < 5 || dash == words.end() || words.end() - dash < 4) continue;
        const std::string& type = dash[1];
        if (type == "cgroup2") {
            mounts.push_back({unescape(words[3]), unescape(words[4]), true});
        } else if (type == "cgroup" && contains(split(dash[3], ','), "cpu")) {
            mounts.push_back({unescape(words[3]), unescape(words[4]), false});
        }
    }
    return mounts;
}

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
        std::istringstream max(read_whole(directory / "cpu.max"));
        std::string first;
        if (!(max >> first >> period) || first == "max") return 0;
        std::istringstream(first) >> quota;
    } else {
        std::istringstream(read_whole(directory / "cpu.cfs_quota_us")) >> quota;
        std::istringstream(read_whole(directory / "cpu.cfs_period_us")) >> period;
    }
    return quota_cpus(quota, period);
}

// The smallest quota from the cgroup's directory up to the mount point.
int smallest_quota(const CgroupMount& mount, const std::string& cgroup_path) {
    if (mount.root.empty()) return 0;
    const bool below_root =
        cgroup_path.compare(0, mount.root.size(), mount.root) == 0 &&
        (mount.root.back() == '/' || cgroup_path.size() == mount.root.size() || cgroup_path[mount.root.size()] == '/');
    if (!below_root) return 0;
    std::vector<fs::path> directories = {mount.mount_point};
    for (const auto& part : fs::path(cgroup_path.substr(mount.root.size())).relative_path())
        if (!part.empty()) directories.push_back(directories.back() / part);
    int smallest = 0;
    for (const fs::path& directory : directories) {
        const int cpus = quota_in(directory, mount.version2);
        if (cpus > 0 && (smallest == 0 || cpus < smallest)) smallest = cpus;
    }
    return smallest;
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
    std::string path_v2;
    std::string path_v1;
    bool has_v2 = false;
    bool has_v1 = false;
    for (const std::string& line : split(cgroup, '\n')) {
        const auto first = line.find(':');
        const auto second = first == std::string::npos ? first : line.find(':', first + 1);
        if (second == std::string::npos) continue;
        const std::string controllers = line.substr(first + 1, second - first - 1);
        if (line.compare(0, first, "0") == 0 && controllers.empty()) {
            path_v2 = line.substr(second + 1);
            has_v2 = true;
        } else if (contains(split(controllers, ','), "cpu")) {
            path_v1 = line.substr(second + 1);
            has_v1 = true;
        }
    }
    int limit = 0;
    for (const CgroupMount& mount : cpu_cgroup_mounts(mountinfo)) {
        if (mount.version2 ? !has_v2 : !has_v1) continue;
        const int cpus = smallest_quota(mount, mount.version2 ? path_v2 : path_v1);
        if (cpus > 0 && (limit == 0 || cpus < limit)) limit = cpus;
    }
    return limit;
}

int usable_cpus() {
    const int affinity = affinity_cpus();
    const int quota = cgroup_cpu_limit(read_whole("/proc/self/mountinfo"), read_whole("/proc/self/cgroup"));
    return quota > 0 ? std::min(affinity, quota) : affinity;
}

}  // namespace vorlan2
