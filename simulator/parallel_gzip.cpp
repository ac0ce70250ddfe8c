// Blocks of content compressed by zlib on worker threads, written in order.
#include "simulator/parallel_gzip.h"

#include <zlib.h>

#include <algorithm>
#include <memory>
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
    // Left uninitialised: only what deflate writes is touched.
    const uLong bound = deflateBound(&stream, static_cast<uLong>(block.size()));
    const std::unique_ptr<Bytef[]> output(new Bytef[bound]);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.data()));
    stream.avail_in = static_cast<uInt>(block.size());
    stream.next_out = output.get();
    stream.avail_out = static_cast<uInt>(bound);
    const int result = deflate(&stream, Z_FINISH);
    deflateEnd(&stream);
    if (result != Z_STREAM_END) throw std::runtime_error("gzip compression failed");
    return std::string(reinterpret_cast<const char*>(output.get()), stream.total_out);
}

}  // namespace

ParallelGzipWriter::ParallelGzipWriter(std::FILE* file)
    : file_(file), members_([this](std::string&& member) { write_member(std::move(member)); }) {
    block_.reserve(block_size);
}

ParallelGzipWriter::~ParallelGzipWriter() {
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
    members_.submit([block = std::move(block_)] { return compress_member(block); });
    submitted_ = true;
    block_ = std::string();
    block_.reserve(block_size);
}

void ParallelGzipWriter::write_member(std::string&& member) {
    if (!failed_ && std::fwrite(member.data(), 1, member.size(), file_) != member.size()) failed_ = true;
}

bool ParallelGzipWriter::close() {
    // Empty content still needs one member to be a gzip file.
    if (!block_.empty() || !submitted_) submit_block();
    try {
        members_.finish();
    } catch (const std::exception&) {
        failed_ = true;
    }
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0) failed_ = true;
    return !failed_;
}
