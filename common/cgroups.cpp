// The cgroup file systems that /proc/self/mountinfo lists, and the process's
// place in each from /proc/self/cgroup.
#include "common/cgroups.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace vorlan2 {

namespace {

namespace fs = std::filesystem;

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

std::vector<CgroupMount> cgroup_mounts(const std::string& mountinfo, const std::string& controller) {
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
        } else if (type == "cgroup" && contains(split(dash[3], ','), controller)) {
            mounts.push_back({unescape(words[3]), unescape(words[4]), false});
        }
    }
    return mounts;
}

// The mount point and the directories below it down to the cgroup; none when
// the cgroup lies outside the mounted part of the hierarchy.
void append_path(const CgroupMount& mount, const std::string& cgroup_path, std::vector<CgroupDirectory>& directories) {
    if (mount.root.empty()) return;
    const bool below_root =
        cgroup_path.compare(0, mount.root.size(), mount.root) == 0 &&
        (mount.root.back() == '/' || cgroup_path.size() == mount.root.size() || cgroup_path[mount.root.size()] == '/');
    if (!below_root) return;
    fs::path directory = mount.mount_point;
    directories.push_back({directory, mount.version2});
    for (const auto& part : fs::path(cgroup_path.substr(mount.root.size())).relative_path()) {
        if (part.empty()) continue;
        directory /= part;
        directories.push_back({directory, mount.version2});
    }
}

}  // namespace

std::vector<CgroupDirectory> cgroup_directories(const std::string& mountinfo, const std::string& cgroup,
                                                const std::string& controller) {
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
        } else if (contains(split(controllers, ','), controller)) {
            path_v1 = line.substr(second + 1);
            has_v1 = true;
        }
    }
    std::vector<CgroupDirectory> directories;
    for (const CgroupMount& mount : cgroup_mounts(mountinfo, controller)) {
        if (mount.version2 ? !has_v2 : !has_v1) continue;
        append_path(mount, mount.version2 ? path_v2 : path_v1, directories);
    }
    return directories;
}

std::string read_small_file(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return in ? text.str() : std::string();
}

}  // namespace vorlan2
