// The parallel gzip writer: the same bytes at any number of workers and
// however the content is handed in, members in the content's order, a failed
// write reaching the caller of close(), and a writer never closed that still
// lets go of its file and its blocks.
#include "common/parallel_gzip.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/worker_pool.h"
#include "support/test_files.h"

using namespace vorlan2;

namespace {

namespace fs = std::filesystem;

constexpr std::size_t MiB = std::size_t{1} << 20;

// Numbered lines: every block of the content differs from the others, so that
// members written out of order would show.
std::string numbered_lines(std::size_t bytes) {
    std::string text;
    for (long long k = 0; text.size() < bytes; ++k) text += "snp_" + std::to_string(k) + " 0 1 0 0 0 1\n";
    text.resize(bytes);
    return text;
}

// Compresses the content into the file, handed in `piece` bytes at a time;
// returns what close() returns.
int write_compressed(std::FILE* file, WorkerPool& workers, const std::string& content, std::size_t piece) {
    ParallelGzipWriter writer(file, workers);
    for (std::size_t at = 0; at < content.size(); at += piece)
        writer.write(content.data() + at, std::min(piece, content.size() - at));
    return writer.close();
}

std::string compressed_bytes(const TempDir& dir, WorkerPool& workers, const std::string& content, std::size_t piece) {
    const std::string path = dir.file("content.gz");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) throw std::runtime_error("cannot create " + path);
    EXPECT_EQ(write_compressed(file, workers, content, piece), 0);
    return read_file(path);
}

TEST(ParallelGzip, SameBytesAtAnyWorkersAndAnyPiecesDecompressingToTheContent) {
    const TempDir dir;
    WorkerPool pools[] = {WorkerPool(0), WorkerPool(1), WorkerPool(2), WorkerPool(8)};
    // Empty, short, one whole block, one byte more, several blocks and a bit.
    for (const std::size_t size : {std::size_t{0}, std::size_t{11}, 4 * MiB, 4 * MiB + 1, 9 * MiB + 5}) {
        SCOPED_TRACE(std::to_string(size) + " bytes");
        const std::string content = numbered_lines(size);
        const std::string reference = compressed_bytes(dir, pools[0], content, std::max<std::size_t>(size, 1));
        write_file(dir.file("reference.gz"), reference);
        EXPECT_EQ(read_gzip_file(dir.file("reference.gz")), content);
        EXPECT_EQ(std::system(("gzip -t " + dir.file("reference.gz")).c_str()), 0);
        std::vector<std::size_t> pieces = {65539, std::max<std::size_t>(size, 1)};
        if (size <= 4 * MiB + 1) pieces.push_back(1);
        for (auto& workers : pools)
            for (const std::size_t piece : pieces)
                EXPECT_EQ(compressed_bytes(dir, workers, content, piece), reference)
                    << workers.workers() << " workers, pieces of " << piece;
    }
}

// On a device without room a short content fails at the close of the file
// and a long one at the write of a member; either way close() says so.
TEST(ParallelGzip, FailedWriteReachesTheCallerOfClose) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    for (const int count : {0, 8}) {
        WorkerPool workers(count);
        for (const std::size_t size : {std::size_t{11}, 9 * MiB}) {
            std::FILE* file = std::fopen("/dev/full", "wb");
            ASSERT_NE(file, nullptr);
            EXPECT_EQ(write_compressed(file, workers, numbered_lines(size), 65536), ENOSPC)
                << count << " workers, " << size << " bytes";
        }
    }
}

TEST(ParallelGzip, WriterNeverClosedClosesItsFileOnceItsBlocksAreDone) {
    const TempDir dir;
    WorkerPool workers(8);
    const std::string content = numbered_lines(9 * MiB);
    const std::string path = dir.file("abandoned.gz");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    const int descriptor = fileno(file);
    {
        ParallelGzipWriter writer(file, workers);
        writer.write(content.data(), content.size());
    }
    EXPECT_EQ(fcntl(descriptor, F_GETFD), -1);
    // The pool is free for the next writer.
    EXPECT_EQ(compressed_bytes(dir, workers, "next\n", 5), compressed_bytes(dir, workers, "next\n", 1));
}

}  // namespace
