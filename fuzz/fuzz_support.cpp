// The scratch directory, the silenced console and the byte splitting shared
// by the fuzz targets.
#include "fuzz_support.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <streambuf>

namespace {

class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

void remove_scratch_directory() {
    std::error_code ignored;
    std::filesystem::remove_all(scratch_directory(), ignored);
}

}  // namespace

const std::filesystem::path& scratch_directory() {
    static const std::filesystem::path path = [] {
        auto dir = std::filesystem::temp_directory_path() / ("vorlan2-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        std::atexit(remove_scratch_directory);
        return dir;
    }();
    return path;
}

std::string write_scratch_file(const std::string& name, const std::string& content) {
    const std::string path = (scratch_directory() / name).string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write the scratch file " + path);
    return path;
}

void silence_standard_output() {
    static NullBuffer nothing;
    std::cout.rdbuf(&nothing);
}

std::vector<std::string> split_at_nul(const std::uint8_t* data, std::size_t size, std::size_t max_parts) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && parts.size() < max_parts) {
            parts.emplace_back();
            continue;
        }
        parts.back().push_back(static_cast<char>(data[i]));
    }
    return parts;
}
