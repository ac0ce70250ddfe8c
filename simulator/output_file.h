// Opening output files (gzip-compressed when the name ends in ".gz") and
// moving a message buffer to standard output and the summary file.
#pragma once

#include <filesystem>
#include <ios>
#include <memory>
#include <ostream>
#include <sstream>

#include <boost/iostreams/filtering_stream.hpp>

class Parameters;

using OutputStream = boost::iostreams::filtering_ostream;

// True when the last path component's extension (from its last '.') is ".gz".
bool is_gzip_name(const std::filesystem::path& path);

std::unique_ptr<OutputStream> open_output_file(const std::filesystem::path& path, std::ostream& log,
                                               std::ios_base::openmode mode);
std::unique_ptr<OutputStream> open_output_file(const std::filesystem::path& path,
                                               std::ios_base::openmode mode);

// Completes the stream (the gzip trailer included) and closes the file;
// raises badfilename naming the path when any byte could not be written.
void finish_output_file(std::unique_ptr<OutputStream>& stream, const std::filesystem::path& path);

void update_summary_file(const Parameters& parameters, std::ostringstream& buffer,
                         std::ios_base::openmode mode);
