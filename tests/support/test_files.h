// Test helpers: a scratch directory removed after the test, whole-file
// reading and writing, and limits on the test process (file size, identity,
// CPUs).
#pragma once

#include <filesystem>
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

void write_file(const std::string& path, const std::string& content);
std::string read_file(const std::string& path);
// The bytes of a gzip file after decompression.
std::string read_gzip_file(const std::string& path);

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
