// A fresh temporary directory for a test, removed with its content afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vorlan2-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The directory with a trailing separator, as the seed-file directory is given.
    std::string WithSeparator() const { return path_.string() + "/"; }
    std::filesystem::path File(const char* name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};
