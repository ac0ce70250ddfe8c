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
// does). Deflate's output does not depend on the room it writes into.
std::string compress_member(const std::string& block, std::string member) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::bad_alloc();
    int result = Z_OK;
    try {
        member.resize(std::max<std::size_t>(member.capacity(), 1024));
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

ParallelGzipWriter::ParallelGzipWriter(std::FILE* file, WorkerPool& workers)
    : file_(file),
      members_(
          workers, [this](Compressed&& done) { take_compressed(std::move(done)); },
          results_in_flight(workers, max_blocks_in_flight)) {}

ParallelGzipWriter::~ParallelGzipWriter() {
    if (file_ != nullptr) std::fclose(file_);
}

void ParallelGzipWriter::write(const char* data, std::size_t n) {
    while (n > 0) {
        if (block_.capacity() < block_size) members_.with_fewer_in_flight([this] { block_.reserve(block_size); });
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
    members_.with_fewer_in_flight([&] { member.reserve(std::max<std::size_t>(block_.size() / 8, 1024)); });
    members_.submit([block = std::move(block_), member = std::move(member)]() mutable {
        try {
            Compressed done{compress_member(block, std::move(member)), true};
            block = std::string();  // freed now rather than when its member is written
            return done;
        } catch (const std::bad_alloc&) {
            return Compressed{std::move(block), false};
        }
    });
    submitted_ = true;
    block_ = std::string();
}

void ParallelGzipWriter::take_compressed(Compressed&& done) {
    if (!done.is_member) {
        // A worker found no memory for its block: fewer blocks in flight from
        // now on, and this one compressed here once the others in flight have
        // let go of their blocks.
        members_.limit_in_flight(members_.in_flight());
        members_.wait_for_all();
        done.bytes = compress_member(done.bytes, std::string());
    }
    write_member(done.bytes);
}

void ParallelGzipWriter::write_member(const std::string& member) {
    if (error_ != 0) return;
    errno = 0;
    if (std::fwrite(member.data(), 1, member.size(), file_) != member.size()) error_ = errno != 0 ? errno : EIO;
}

int ParallelGzipWriter::close() {
    try {
        // Empty content still needs one member to be a gzip file.
        if (!block_.empty() || !submitted_) submit_block();
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
