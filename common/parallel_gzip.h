// Gzip compression spread over a pool of workers: the content is cut into
// blocks, each compressed by a worker into a gzip member of default settings,
// and the members are written in order. A file of several members is standard
// gzip and decompresses to the content in one piece. The blocks in flight are
// bounded, so that the memory of compression does not grow with the cores,
// and fewer are in flight when memory runs short, down to compressing on the
// writing thread alone: the bytes stay the same.
#pragma once

#include <cstdio>
#include <string>

#include "common/ordered_tasks.h"

namespace vorlan2 {

class ParallelGzipWriter {
    // Content bytes in one member: fixed, so that the compressed bytes never
    // depend on how the content was handed in or on the number of workers;
    // another value would change the bytes of every compressed file.
    static constexpr std::size_t block_size = 4 << 20;
    // Blocks in flight at most; each holds its content and its member.
    static constexpr std::size_t max_blocks_in_flight = 16;

public:
    // Takes ownership of the open file; compresses on `workers`, which
    // outlive this.
    ParallelGzipWriter(std::FILE* file, WorkerPool& workers);
    ~ParallelGzipWriter();
    ParallelGzipWriter(const ParallelGzipWriter&) = delete;
    ParallelGzipWriter& operator=(const ParallelGzipWriter&) = delete;

    // Raises std::bad_alloc when the content cannot be held even with no
    // block in flight.
    void write(const char* data, std::size_t n);
    // Compresses what is left, writes every member and closes the file;
    // returns 0, or the errno of the first write or close that failed
    // (ENOMEM when a block could not be compressed for want of memory).
    int close();

    // Bytes that compression holds at most: the blocks in flight and the one
    // being filled, each with its member and its compressor's state.
    static constexpr std::size_t most_memory() { return (max_blocks_in_flight + 1) * (block_size + block_size / 4); }

private:
    // What a worker hands back: the member, or the block itself when the
    // worker found no memory to compress it.
    struct Compressed {
        std::string bytes;
        bool is_member;
    };

    void submit_block();
    void take_compressed(Compressed&& done);
    void write_member(const std::string& member);

    std::FILE* file_;
    int error_ = 0;
    bool submitted_ = false;
    std::string block_;
    OrderedTasks<Compressed> members_;
};

}  // namespace vorlan2
