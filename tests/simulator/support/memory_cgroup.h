// A memory cgroup with a limit, made for a test below the test process's own
// cgroup (v1 or v2, wherever the machine lets it be made) and removed at the
// end of the scope; a program started from the test joins it from the child
// hook.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

class MemoryCgroup {
public:
    explicit MemoryCgroup(std::size_t limit_bytes);
    ~MemoryCgroup();
    MemoryCgroup(const MemoryCgroup&) = delete;
    MemoryCgroup& operator=(const MemoryCgroup&) = delete;

    // Empty when the cgroup was made; otherwise why it could not be, for a
    // test to skip with.
    const std::string& unavailable() const { return unavailable_; }

    // Moves the calling process into the cgroup; for the child hook, so it
    // ends the process with status 126 when it cannot.
    void join() const;

private:
    std::filesystem::path directory_;
    std::string unavailable_;
};
