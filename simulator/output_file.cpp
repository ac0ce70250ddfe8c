// Output streams over a checked file sink, and the transcript flush.
#include "simulator/output_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include <boost/iostreams/categories.hpp>

#include "simulator/console.h"
#include "simulator/exceptions.h"
#include "simulator/parallel_gzip.h"
#include "simulator/parameters.h"

namespace {

// A file sink that remembers every failed write and a failed close, so that
// a full disk never passes for a finished file. It never throws: the stream
// machinery may close it from a destructor. Compressed content goes through
// the parallel gzip writer.
class checked_file_sink {
public:
    using char_type = char;
    struct category : boost::iostreams::sink_tag, boost::iostreams::closable_tag {};

    struct State {
        std::FILE* file = nullptr;
        struct stat identity = {};  // of the file as opened
        std::unique_ptr<ParallelGzipWriter> gzip;
        bool failed = false;
    };

    checked_file_sink(std::FILE* file, bool compressed) : state_(std::make_shared<State>()) {
        if (fstat(fileno(file), &state_->identity) != 0) state_->failed = true;
        if (compressed) {
            state_->gzip = std::make_unique<ParallelGzipWriter>(file);
        } else {
            state_->file = file;
        }
    }

    std::streamsize write(const char* data, std::streamsize n) {
        const auto size = static_cast<std::size_t>(n);
        try {
            if (state_->gzip) {
                state_->gzip->write(data, size);
            } else if (state_->file == nullptr || std::fwrite(data, 1, size, state_->file) != size) {
                state_->failed = true;
            }
        } catch (const std::exception&) {
            state_->failed = true;
        }
        return n;
    }

    void close() {
        if (state_->gzip) {
            try {
                if (!state_->gzip->close()) state_->failed = true;
            } catch (const std::exception&) {
                state_->failed = true;
            }
            state_->gzip.reset();
        }
        std::FILE* file = state_->file;
        state_->file = nullptr;
        if (file != nullptr && std::fclose(file) != 0) state_->failed = true;
    }

    std::shared_ptr<const State> state() const { return state_; }

private:
    std::shared_ptr<State> state_;
};

constexpr std::streamsize stream_buffer_size = 1 << 20;

const char* fopen_mode(std::ios_base::openmode mode) {
    return (mode & std::ios_base::app) ? "ab" : "wb";
}

}  // namespace

bool is_gzip_name(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    const auto dot = name.rfind('.');
    return dot != std::string::npos && name.compare(dot, std::string::npos, ".gz") == 0;
}

std::unique_ptr<OutputStream> open_output_file(const std::filesystem::path& path, std::ostream& log,
                                               std::ios_base::openmode mode) {
    const bool compressed = is_gzip_name(path);
    log << "writing output file " << path.string();
    if (compressed) log << " (in gzip mode) ";
    log << std::endl;

    std::FILE* file = std::fopen(path.c_str(), fopen_mode(mode));
    if (file == nullptr) throw badfilename(path.string(), "can't open file.");
    auto stream = std::make_unique<OutputStream>();
    stream->push(checked_file_sink(file, compressed), stream_buffer_size);
    return stream;
}

std::unique_ptr<OutputStream> open_output_file(const std::filesystem::path& path,
                                               std::ios_base::openmode mode) {
    std::ostringstream discarded;
    return open_output_file(path, discarded, mode);
}

void finish_output_file(std::unique_ptr<OutputStream>& stream, const std::filesystem::path& path) {
    const auto sink = stream->component<checked_file_sink>(static_cast<int>(stream->size()) - 1)->state();
    bool complete = static_cast<bool>(stream->flush());
    try {
        stream->reset();
    } catch (const std::exception&) {
        complete = false;
    }
    stream.reset();
    if (!complete || sink->failed) throw badfilename(path.string(), "can't write file.");
    // A file removed or replaced while it was written is lost all the same.
    struct stat now = {};
    if (stat(path.c_str(), &now) != 0 || now.st_dev != sink->identity.st_dev || now.st_ino != sink->identity.st_ino)
        throw badfilename(path.string(), "file vanished while it was written.");
}

void update_summary_file(const Parameters& parameters, std::ostringstream& buffer,
                         std::ios_base::openmode mode) {
    auto summary = open_output_file(parameters.summary_file, mode);
    const std::string text = buffer.str();
    const std::string console_failure = write_to_console(text);
    *summary << text;
    buffer.str("");
    buffer.clear();
    finish_output_file(summary, parameters.summary_file);
    // The run ends; the summary file keeps the record of why.
    if (!console_failure.empty()) throw std::runtime_error(console_failure);
}
