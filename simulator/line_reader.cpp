// A buffered line reader: lines are found with memchr in a buffer that
// grows for long lines, a failed read is an error, not an end of file, and
// the first bytes are checked for the magic numbers of compressed files.
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

// Read as text, a compressed file gives a format error on its first line,
// which sends the user looking at the content. bzip2's "BZh" and block-size
// digit are followed by the magic of a block or of the stream's end, so that
// a text beginning with "BZh" is not taken for one.
bool starts_compressed(std::string_view start) {
    static const std::string_view magics[] = {
        std::string_view("\x1f\x8b", 2),                  // gzip, and bgzip, which is gzip
        std::string_view("\xfd\x37\x7a\x58\x5a\x00", 6),  // xz
        std::string_view("\x28\xb5\x2f\xfd", 4),          // zstd
    };
    for (const std::string_view magic : magics)
        if (start.substr(0, magic.size()) == magic) return true;
    if (start.size() < 10 || start.substr(0, 3) != "BZh" || start[3] < '1' || start[3] > '9') return false;
    const std::string_view block = start.substr(4, 6);
    return block == "\x31\x41\x59\x26\x53\x59" || block == "\x17\x72\x45\x38\x50\x90";
}

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
    if (!started_ && starts_compressed(std::string_view(buffer_.data(), n)))
        throw badfilename(path_, "the file is compressed; unpack it first (for example with gunzip).");
    started_ = true;
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

// Old Mac files end their lines in a lone carriage return: taken for a
// blank, it would make one line of the whole file.
void LineReader::refuse_carriage_return(std::string_view text) const {
    if (std::memchr(text.data(), '\r', text.size()) == nullptr) return;
    throw badfilename(path_, "line " + std::to_string(lines_ + 1) +
                                 " ends in a lone carriage return (old Mac line ends); convert the file to Unix line "
                                 "ends first (for example with mac2unix).");
}

bool LineReader::next(std::string_view& line) {
    std::size_t searched = begin_;
    while (true) {
        const void* found = std::memchr(buffer_.data() + searched, '\n', end_ - searched);
        if (found != nullptr) {
            const std::size_t stop = static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.data());
            line = std::string_view(buffer_.data() + begin_, stop - begin_);
            begin_ = stop + 1;
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            break;
        }
        // No '\n' from `searched` on, so a carriage return there is lone,
        // unless it is the last byte, whose successor is still to be read.
        // Refused before the buffer grows, a file of such line ends takes no
        // more memory than one block.
        const std::size_t from = searched > begin_ ? searched - 1 : begin_;
        if (end_ > from + 1) refuse_carriage_return(std::string_view(buffer_.data() + from, end_ - 1 - from));
        const std::size_t kept = end_ - begin_;
        if (!fill()) {
            if (begin_ == end_) return false;
            line = std::string_view(buffer_.data() + begin_, end_ - begin_);
            begin_ = end_;
            break;
        }
        searched = begin_ + kept;
    }
    refuse_carriage_return(line);
    ++lines_;
    return true;
}

}  // namespace vorlan2
