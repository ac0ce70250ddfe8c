// Blocks of content compressed by zlib on worker threads, written in order.
#include "simulator/parallel_gzip.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>
#include <thread>

namespace {

constexpr std::size_t block_size = 4 << 20;

// One gzip member at zlib's default level: deflate, 32 KiB window, memory
// level 8, no file name, modification time 0.
std::string compress_member(const std::string& block) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::bad_alloc();
    std::string member(deflateBound(&stream, static_cast<uLong>(block.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.data()));
    stream.avail_in = static_cast<uInt>(block.size());
    stream.next_out = reinterpret_cast<Bytef*>(member.data());
    stream.avail_out = static_cast<uInt>(member.size());
    const int result = deflate(&stream, Z_FINISH);
    member.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END) throw std::runtime_error("gzip compression failed");
    return member;
}

}  // namespace

ParallelGzipWriter::ParallelGzipWriter(std::FILE* file)
    : file_(file), max_in_flight_(std::max(2u, std::thread::hardware_concurrency())) {
    block_.reserve(block_size);
}

ParallelGzipWriter::~ParallelGzipWriter() {
    for (auto& member : members_)
        if (member.valid()) member.wait();
    if (file_ != nullptr) std::fclose(file_);
}

void ParallelGzipWriter::write(const char* data, std::size_t n) {
    while (n > 0) {
        const std::size_t taken = std::min(n, block_size - block_.size());
        block_.append(data, taken);
        data += taken;
        n -= taken;
        if (block_.size() == block_size) submit_block();
    }
}

void ParallelGzipWriter::submit_block() {
    if (members_.size() >= max_in_flight_) write_oldest_member();
    members_.push_back(std::async(std::launch::async, compress_member, std::move(block_)));
    block_ = std::string();
    block_.reserve(block_size);
}

void ParallelGzipWriter::write_oldest_member() {
    std::string member;
    try {
        member = members_.front().get();
    } catch (const std::exception&) {
        failed_ = true;
    }
    members_.pop_front();
    if (!failed_ && std::fwrite(member.data(), 1, member.size(), file_) != member.size()) failed_ = true;
    wrote_member_ = true;
}

bool ParallelGzipWriter::close() {
    // Empty content still needs one member to be a gzip file.
    if (!block_.empty() || (!wrote_member_ && members_.empty())) submit_block();
    while (!members_.empty()) write_oldest_member();
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0) failed_ = true;
    return !failed_;
}
