// Opening output files (gzip-compressed when the name ends in ".gz") so that a
// file under its final name is always whole.
#pragma once

#include <filesystem>
#include <ios>
#include <memory>
#include <ostream>
#include <string>

#include <boost/iostreams/filtering_stream.hpp>

#include "common/signal_cleanup.h"

namespace vorlan2 {

struct OutputSinkState;
class OutputFile;
class WorkerPool;

using OutputStream = boost::iostreams::filtering_ostream;

// True when the last path component's extension (from its last '.') is ".gz".
bool is_gzip_name(const std::filesystem::path& path);

}  // namespace vorlan2

// Writes "writing output file " and the path (followed by " (in gzip mode) "
// when is_gzip_name(path)) and an end of line into the log, then opens the
// file for the caller, its single owner: with an output mode as an
// OutputFile written under a temporary name and named at commit(), so that
// an existing file stays as it was until then; with an append mode in place.
// Raises badfilename, "Error reading file " + path + ": can't open file (" +
// the system's reason + ").", when it cannot be created or opened; the log
// line is written already and no temporary file is left. A compressed file is
// compressed on `workers`, which outlive the stream, or with none on the
// thread that writes the stream.
std::unique_ptr<vorlan2::OutputFile> open_output_file(const std::filesystem::path& path, std::ostream& log,
                                                      std::ios_base::openmode mode, vorlan2::WorkerPool* workers);
// The same with no workers.
std::unique_ptr<vorlan2::OutputFile> open_output_file(const std::filesystem::path& path, std::ostream& log,
                                                      std::ios_base::openmode mode);
// The same with no workers and without a log.
std::unique_ptr<vorlan2::OutputFile> open_output_file(const std::filesystem::path& path, std::ios_base::openmode mode);

namespace vorlan2 {

// An output stream on a file. Opened for output, the file is written under a
// short temporary name of its own, "vorlan2.partPID-N", in the directory of
// its final name (of the file a symbolic link leads to), so that it fits
// wherever the final name does, and takes that name at commit(); destroyed
// uncommitted (a failed write, an exception unwinding the writer) or ended by
// a signal (SIGTERM, SIGINT, SIGHUP) it is removed. A device or pipe that the
// name leads to, and a file opened for appending (the summary transcript),
// are written in place.
class OutputFile : public OutputStream {
public:
    ~OutputFile() override;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Completes the content (the gzip trailer included), checks that every
    // byte reached the file, closes it and gives it its name. Raises
    // badfilename naming the path when any of that fails; the temporary file
    // is then gone.
    void commit();

private:
    friend auto ::open_output_file(const std::filesystem::path& path, std::ostream& log, std::ios_base::openmode mode,
                                   vorlan2::WorkerPool* workers) -> std::unique_ptr<OutputFile>;
    explicit OutputFile(std::filesystem::path path);
    void remove_temporary();

    std::filesystem::path path_;           // the name the caller gave
    std::filesystem::path target_;         // the file it names, symbolic links followed
    int directory_ = -1;                   // the target's directory, while written under a temporary name
    std::string temporary_;                // that name in it; empty when written in place
    SignalRemovedFile removed_on_signal_;  // the temporary file
    std::shared_ptr<OutputSinkState> sink_;
    bool done_ = false;  // committed, or failed to commit
};

}  // namespace vorlan2
