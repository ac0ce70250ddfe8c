// Gzip compression spread over all cores: the content is cut into blocks,
// each compressed on a thread of its own into a gzip member of default
// settings, and the members are written in order. A file of several members
// is standard gzip and decompresses to the content in one piece.
#pragma once

#include <cstdio>
#include <string>

#include "simulator/ordered_tasks.h"

class ParallelGzipWriter {
public:
    // Takes ownership of the open file.
    explicit ParallelGzipWriter(std::FILE* file);
    ~ParallelGzipWriter();
    ParallelGzipWriter(const ParallelGzipWriter&) = delete;
    ParallelGzipWriter& operator=(const ParallelGzipWriter&) = delete;

    void write(const char* data, std::size_t n);
    // Compresses what is left, writes every member and closes the file;
    // false when any byte could not be written.
    bool close();

private:
    void submit_block();
    void write_member(std::string&& member);

    std::FILE* file_;
    bool failed_ = false;
    bool submitted_ = false;
    std::string block_;
    OrderedTasks<std::string> members_;
};
