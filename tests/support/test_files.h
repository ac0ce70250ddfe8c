// Test helpers: a scratch directory removed after the test, whole-file
// reading and writing, a cgroup file tree, and limits on the test process
// (file size, identity, CPUs).
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// A cgroup tree under a scratch directory, with the mountinfo line of each
// hierarchy pointing at it.
class CgroupTree {
public:
    // Writes a file of the tree, its directories made as needed.
    void write(const std::string& file, const std::string& content);
    // The mountinfo line of a hierarchy of this type ("cgroup2", or "cgroup"
    // with its controllers in the options) rooted at root, mounted at point.
    std::string mount(const std::string& root, const std::string& point, const std::string& type,
                      const std::string& options) const;

private:
    TempDir dir_;
};

void write_file(const std::string& path, const std::string& content);
std::string read_file(const std::string& path);
// The bytes of a gzip file after decompression.
std::string read_gzip_file(const std::string& path);
// The names of the entries of a directory.
std::set<std::string> file_names_in(const std::filesystem::path& directory);

// Files of the process hold at most this many bytes, and a write beyond
// fails (SIGXFSZ ignored); false when the limit cannot be set.
bool limit_file_size(long long bytes);

// For the rest of a scope, files of the test process hold at most this many
// bytes, and a write beyond fails (SIGXFSZ ignored).
class FileSizeLimit {
public:
    explicit FileSizeLimit(long long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    long long saved_soft_;
    void (*saved_handler_)(int);
};

// For the rest of a scope, the test process writes only where any user may:
// run as root, it takes the identity of "nobody".
class Unprivileged {
public:
    Unprivileged();
    ~Unprivileged();
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;

private:
    bool was_root_;
};

// Keeps the first CPU of the calling thread's affinity mask (as taskset -c
// does); false when it cannot.
bool pin_to_first_cpu();
