// Scratch directories, file contents and limits on the process for the tests.
#include "support/test_files.h"

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include <boost/iostreams/copy.hpp>
#include <boost/iostreams/filter/gzip.hpp>
#include <boost/iostreams/filtering_stream.hpp>

TempDir::TempDir() {
    std::random_device seed;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = base / ("vorlan2-test-" + std::to_string(seed()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a scratch directory");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void CgroupTree::write(const std::string& file, const std::string& content) {
    std::filesystem::create_directories((dir_.path() / file).parent_path());
    write_file(dir_.file(file), content);
}

std::string CgroupTree::mount(const std::string& root, const std::string& point, const std::string& type,
                              const std::string& options) const {
    return "33 32 0:30 " + root + " " + dir_.file(point) + " rw,relatime - " + type + " " + type + " " + options + "\n";
}

void write_file(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::set<std::string> file_names_in(const std::filesystem::path& directory) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.insert(entry.path().filename().string());
    return names;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string read_gzip_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    boost::iostreams::filtering_istream gz;
    gz.push(boost::iostreams::gzip_decompressor());
    gz.push(in);
    std::ostringstream content;
    boost::iostreams::copy(gz, content);
    return content.str();
}

bool limit_file_size(long long bytes) {
    const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
    return std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR && setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::FileSizeLimit(long long bytes) {
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0) throw std::runtime_error("cannot read the file size limit");
    saved_soft_ = static_cast<long long>(limit.rlim_cur);
    saved_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) throw std::runtime_error("cannot limit the file size");
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(saved_soft_);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, saved_handler_);
}

Unprivileged::Unprivileged() : was_root_(geteuid() == 0) {
    constexpr uid_t nobody = 65534;
    if (was_root_ && seteuid(nobody) != 0) throw std::runtime_error("cannot take the identity of nobody");
}

Unprivileged::~Unprivileged() {
    if (was_root_ && seteuid(0) != 0) std::abort();
}

bool pin_to_first_cpu() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) != 0) return false;
    int first = 0;
    while (first < CPU_SETSIZE && !CPU_ISSET(first, &set)) ++first;
    CPU_ZERO(&set);
    CPU_SET(first, &set);
    return sched_setaffinity(0, sizeof set, &set) == 0;
}
