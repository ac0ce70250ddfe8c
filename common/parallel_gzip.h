// Gzip compression spread over the run's workers: the content is cut into
// blocks, each compressed by a worker into a gzip member of default settings,
// and the members are written in order. A file of several members is standard
// gzip and decompresses to the content in one piece. The blocks in flight are
// bounded, so that the memory of compression does not grow with the cores.
#pragma once

#include <cstdio>
#include <string>

#include "common/ordered_tasks.h"

namespace vorlan2 {

class ParallelGzipWriter {
public:
    // Takes ownership of the open file.
    explicit ParallelGzipWriter(std::FILE* file);
    ~ParallelGzipWriter();
    ParallelGzipWriter(const ParallelGzipWriter&) = delete;
    ParallelGzipWriter& operator=(const ParallelGzipWriter&) = delete;

    void write(const char* data, std::size_t n);
    // Compresses what is left, writes every member and closes the file;
    // returns 0, or the errno of the first write or close that failed.
    int close();

private:
    // Content bytes in one member: fixed, so that the compressed bytes never
    // depend on how the content was handed in or on the number of workers;
    // another value would change the bytes of every compressed file.
    static constexpr std::size_t block_size = 4 << 20;
    // Blocks in flight at most; each holds its content and its member.
    static constexpr std::size_t max_blocks_in_flight = 16;

    void submit_block();
    void write_member(std::string&& member);

    std::FILE* file_;
    int error_ = 0;
    bool submitted_ = false;
    std::string block_;
    OrderedTasks<std::string> members_;
};

}  // namespace vorlan2
