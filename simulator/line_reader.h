// Line-by-line text input for the readers: line ends '\n' or "\r\n", lines
// of any length, compressed files and lone carriage returns refused, and
// whitespace-separated fields taken as views into a line.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan2 {

// Whether a line buffer of this many bytes leaves most of the memory the
// process may use to what is built from the lines: it may take an eighth.
bool line_fits_in_usable_memory(std::size_t bytes);

class LineReader {
public:
    // Whether the reader may hold this many bytes at once.
    using MemoryCheck = bool (*)(std::size_t bytes);

    // A line longer than `fits` allows is refused rather than read.
    explicit LineReader(const std::string& path, MemoryCheck fits = line_fits_in_usable_memory);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool is_open() const { return file_ != nullptr; }

    // The next line, valid until the next call; false once no line is left.
    // A last line without a line end is read. Raises badfilename naming the
    // file when it cannot be read, when it starts as a gzip (bgzip too), xz,
    // bzip2 or zstd file does, or, with the line's number, when a line ends
    // in a carriage return that no '\n' follows or cannot be held in memory.
    bool next(std::string_view& line);

private:
    bool fill();
    void grow();
    void refuse_carriage_return(std::string_view text) const;

    std::string path_;
    MemoryCheck fits_;
    std::FILE* file_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
    bool started_ = false;  // a byte of the file has been read
    long long lines_ = 0;   // returned so far
};

// Splits a line at blanks and tabs, one field at a time.
class FieldSplitter {
public:
    explicit FieldSplitter(std::string_view line) : rest_(line) {}

    bool next(std::string_view& field) {
        std::size_t start = 0;
        while (start < rest_.size() && is_blank(rest_[start])) ++start;
        if (start == rest_.size()) return false;
        std::size_t end = start;
        while (end < rest_.size() && !is_blank(rest_[end])) ++end;
        field = rest_.substr(start, end - start);
        rest_ = rest_.substr(end);
        return true;
    }

    static bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

private:
    std::string_view rest_;
};

}  // namespace vorlan2
