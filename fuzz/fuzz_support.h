// Shared pieces of the fuzz targets: a scratch directory for the files a
// target reads, silenced console output, and splitting the fuzz bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A directory of this process, removed when the process ends.
const std::filesystem::path& scratch_directory();

// Writes the bytes to a file of the scratch directory; returns its path.
std::string write_scratch_file(const std::string& name, const std::string& content);

// Sends std::cout into nothing: the readers report progress there.
void silence_standard_output();

// The fuzz bytes cut at every NUL byte, at most max_parts pieces (the last
// piece keeps any further NUL bytes).
std::vector<std::string> split_at_nul(const std::uint8_t* data, std::size_t size, std::size_t max_parts);
