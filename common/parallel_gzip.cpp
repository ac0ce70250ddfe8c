// Blocks of content compressed by zlib on the workers, written in order.
#include "common/parallel_gzip.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <stdexcept>

namespace vorlan2 {

namespace {

// One gzip member at zlib's default level: deflate, 32 KiB window, memory
// level 8, no file name, modification time 0, in the room given (it grows
// when deflate needs more: the writers' text compresses well, so it seldom
// does).
std::string compress_member(const std::string& block, std::string member) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::bad_alloc();
    int result = Z_OK;
    try {
        member.resize(member.capacity());
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.data()));
        stream.avail_in = static_cast<uInt>(block.size());
        while (result == Z_OK) {
            if (stream.total_out == member.size()) member.resize(member.size() * 2);
            stream.next_out = reinterpret_cast<Bytef*>(&member[stream.total_out]);
            stream.avail_out = static_cast<uInt>(member.size() - stream.total_out);
            result = deflate(&stream, Z_FINISH);
        }
    } catch (...) {
        deflateEnd(&stream);
        throw;
    }
    deflateEnd(&stream);
    if (result != Z_STREAM_END) throw std::runtime_error("gzip compression failed");
    member.resize(stream.total_out);
    return member;
}

}  // namespace

ParallelGzipWriter::ParallelGzipWriter(std::FILE* file)
    : file_(file),
      members_([this](std::string&& member) { write_member(std::move(member)); },
               results_in_flight(max_blocks_in_flight)) {
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
    // The member's room is made here, on the writer's thread, so that the
    // memory of compression comes from one place whichever worker uses it.
    std::string member;
    member.reserve(std::max<std::size_t>(block_.size() / 8, 1024));
    members_.submit([block = std::move(block_), member = std::move(member)]() mutable {
        return compress_member(block, std::move(member));
    });
    submitted_ = true;
    block_ = std::string();
    block_.reserve(block_size);
}

void ParallelGzipWriter::write_member(std::string&& member) {
    if (error_ != 0) return;
    errno = 0;
    if (std::fwrite(member.data(), 1, member.size(), file_) != member.size()) error_ = errno != 0 ? errno : EIO;
}

int ParallelGzipWriter::close() {
    // Empty content still needs one member to be a gzip file.
    if (!block_.empty() || !submitted_) submit_block();
    try {
        members_.finish();
    } catch (const std::bad_alloc&) {
        if (error_ == 0) error_ = ENOMEM;
    } catch (const std::exception&) {
        if (error_ == 0) error_ = EIO;
    }
    std::FILE* file = file_;
    file_ = nullptr;
    errno = 0;
    if (std::fclose(file) != 0 && error_ == 0) error_ = errno != 0 ? errno : EIO;
    return error_;
}

}  // namespace vorlan2
