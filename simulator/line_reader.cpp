// A buffered line reader: lines are found with memchr in a buffer that
// grows for long lines, and a failed read is an error, not an end of file.
#include "simulator/line_reader.h"

#include <cstring>
#include <new>
#include <string>

#include "common/exceptions.h"
#include "simulator/usable_memory.h"

namespace vorlan2 {

namespace {
// Small to start with, so that opening a file stays cheap; long lines grow it.
constexpr std::size_t initial_buffer = 1 << 16;
}  // namespace

bool line_fits_in_usable_memory(std::size_t bytes) { return bytes <= usable_memory_bytes() / 8; }

LineReader::LineReader(const std::string& path, MemoryCheck fits)
    : path_(path), fits_(fits), file_(std::fopen(path.c_str(), "rb")), buffer_(initial_buffer) {}

LineReader::~LineReader() {
    if (file_ != nullptr) std::fclose(file_);
}

bool LineReader::fill() {
    if (eof_) return false;
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buffer_.size()) grow();
    const std::size_t n = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    if (n == 0) {
        if (std::ferror(file_)) throw badfilename(path_, "can't read file.");
        eof_ = true;
        return false;
    }
    end_ += n;
    return true;
}

// A line without end (a device, a binary file) would otherwise take memory
// until the kernel kills the run. Growing holds the old and the new buffer
// at once; an address-space limit may also show as a failed allocation.
void LineReader::grow() {
    const std::size_t size = 2 * buffer_.size();
    try {
        if (fits_(buffer_.size() + size)) {
            buffer_.resize(size);
            return;
        }
    } catch (const std::bad_alloc&) {
    }
    throw badfilename(path_, "line " + std::to_string(lines_ + 1) + " is too long to fit in memory.");
}

bool LineReader::next(std::string_view& line) {
    std::size_t searched = begin_;
    while (true) {
        const void* found = std::memchr(buffer_.data() + searched, '\n', end_ - searched);
        if (found != nullptr) {
            const std::size_t stop = static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.data());
            line = std::string_view(buffer_.data() + begin_, stop - begin_);
            begin_ = stop + 1;
            break;
        }
        const std::size_t kept = end_ - begin_;
        if (!fill()) {
            at_end_ = true;
            if (begin_ == end_) return false;
            line = std::string_view(buffer_.data() + begin_, end_ - begin_);
            begin_ = end_;
            break;
        }
        searched = begin_ + kept;
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++lines_;
    return true;
}

}  // namespace vorlan2
