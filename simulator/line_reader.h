// Line-by-line text input for the readers: line ends '\n' or "\r\n", and
// whitespace-separated fields taken as views into the line.
#pragma once

#include <fstream>
#include <string>
#include <string_view>

#include "simulator/exceptions.h"

class LineReader {
public:
    explicit LineReader(const std::string& path) : path_(path), in_(path, std::ios::binary) {}

    bool is_open() const { return in_.is_open(); }

    // False once no further line exists. A last line without a line end is
    // read. A read error (a directory, a failing device) is not an end of file.
    bool next(std::string& line) {
        if (!std::getline(in_, line)) {
            if (in_.bad()) throw badfilename(path_, "can't read file.");
            return false;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    }

    // True when the last read ran into the end of the file.
    bool at_end() const { return in_.eof(); }

private:
    std::string path_;
    std::ifstream in_;
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

private:
    static bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; }
    std::string_view rest_;
};
