// Output streams over a checked file sink, written under a temporary name and
// renamed when complete.
#include "common/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <sstream>
#include <string>
#include <system_error>

#include <boost/iostreams/categories.hpp>

#include "common/exceptions.h"
#include "common/parallel_gzip.h"
#include "common/worker_pool.h"

namespace vorlan2 {

// What the sink of an output file knows of it: the open file, the file's
// identity as opened, and the first error of a write or of the close.
struct OutputSinkState {
    std::FILE* file = nullptr;  // plain content; compressed content goes through gzip
    struct stat identity = {};
    std::unique_ptr<WorkerPool> own_workers;  // without threads, for a compressed file given no workers
    std::unique_ptr<ParallelGzipWriter> gzip;
    int error = 0;           // errno of the first failure
    bool abandoned = false;  // the file goes: nothing more is written or compressed

    OutputSinkState() = default;
    OutputSinkState(const OutputSinkState&) = delete;
    OutputSinkState& operator=(const OutputSinkState&) = delete;
    // A sink never closed (its stream was never built) still closes its file.
    ~OutputSinkState() {
        if (file != nullptr) std::fclose(file);
    }
};

}  // namespace vorlan2

namespace {

namespace fs = std::filesystem;

// The system's reason as the end of a message: "can't write file (No space
// left on device)."
std::string reason(const char* what, int error) {
    if (error == 0) return std::string(what) + ".";
    return std::string(what) + " (" + std::generic_category().message(error) + ").";
}

[[noreturn]] void cannot_open(const fs::path& path, int error) {
    throw badfilename(path.string(), reason("can't open file", error));
}

int error_or_io(int error) { return error != 0 ? error : EIO; }

// A file sink that remembers the first failed write and a failed close, so
// that a full disk never passes for a finished file. It never throws: the
// stream machinery may close it from a destructor. Compressed content goes
// through the parallel gzip writer, on the given workers or, with none, on
// the writing thread.
class checked_file_sink {
public:
    using char_type = char;
    struct category : boost::iostreams::sink_tag, boost::iostreams::closable_tag {};

    // Takes ownership of the open file, also when it raises.
    checked_file_sink(std::FILE* file, bool compressed, vorlan2::WorkerPool* workers) {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> owner(file, &std::fclose);
        state_ = std::make_shared<vorlan2::OutputSinkState>();
        if (fstat(fileno(file), &state_->identity) != 0) state_->error = error_or_io(errno);
        if (compressed) {
            if (workers == nullptr) {
                state_->own_workers = std::make_unique<vorlan2::WorkerPool>(0);
                workers = state_->own_workers.get();
            }
            state_->gzip = std::make_unique<vorlan2::ParallelGzipWriter>(file, *workers);
        } else {
            state_->file = file;
        }
        owner.release();
    }

    std::streamsize write(const char* data, std::streamsize n) {
        const auto size = static_cast<std::size_t>(n);
        if (state_->abandoned) return n;
        try {
            if (state_->gzip) {
                state_->gzip->write(data, size);
            } else if (state_->file != nullptr && state_->error == 0) {
                errno = 0;
                if (std::fwrite(data, 1, size, state_->file) != size) state_->error = error_or_io(errno);
            }
        } catch (const std::bad_alloc&) {
            if (state_->error == 0) state_->error = ENOMEM;
        } catch (const std::exception&) {
            if (state_->error == 0) state_->error = EIO;
        }
        return n;
    }

    void close() {
        if (state_->gzip) {
            const int error = state_->abandoned ? 0 : state_->gzip->close();
            if (state_->error == 0) state_->error = error;
            state_->gzip.reset();
        }
        std::FILE* file = state_->file;
        state_->file = nullptr;
        errno = 0;
        if (file != nullptr && std::fclose(file) != 0 && state_->error == 0) state_->error = error_or_io(errno);
    }

    std::shared_ptr<vorlan2::OutputSinkState> state() const { return state_; }

private:
    std::shared_ptr<vorlan2::OutputSinkState> state_;
};

constexpr std::streamsize stream_buffer_size = 1 << 20;

// The file that the path leads to, symbolic links followed, so that the file
// takes the place of the link's target and the link stays.
fs::path link_target(const fs::path& path) {
    fs::path target = path;
    for (int links = 0; links < 40; ++links) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(target, error))) return target;
        const fs::path next = fs::read_symlink(target, error);
        if (error) cannot_open(path, error.value());
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    cannot_open(path, ELOOP);
}

// The directory that holds the target, for the calls that name a file in it.
int open_directory(const fs::path& path, const fs::path& target) {
    const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const int descriptor = ::open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) cannot_open(path, errno);
    return descriptor;
}

// Creates a new file in the directory, with the permissions an existing
// target has (or the default ones), and returns its name. The name is short
// and its own, so that it fits wherever the final name does; it is in the
// signal table before the file exists.
std::string create_temporary(const fs::path& path, int directory, const struct stat* existing,
                             vorlan2::SignalRemovedFile& removed_on_signal, int& descriptor) {
    static std::atomic<int> counter{0};
    const std::string stem = "vorlan2.part" + std::to_string(getpid()) + "-";
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string name = stem + std::to_string(++counter);
        if (!removed_on_signal.set(directory, name)) cannot_open(path, EMFILE);
        descriptor = ::openat(directory, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            if (existing != nullptr) fchmod(descriptor, existing->st_mode & 07777);
            return name;
        }
        const int error = errno;
        removed_on_signal.clear();
        if (error != EEXIST) cannot_open(path, error);
    }
    cannot_open(path, EEXIST);
}

}  // namespace

namespace vorlan2 {

bool is_gzip_name(const fs::path& path) {
    const std::string name = path.filename().string();
    const auto dot = name.rfind('.');
    return dot != std::string::npos && name.compare(dot, std::string::npos, ".gz") == 0;
}

OutputFile::OutputFile(fs::path path) : path_(std::move(path)), target_(path_) {}

OutputFile::~OutputFile() {
    if (!done_) {
        if (sink_) sink_->abandoned = true;
        try {
            reset();
        } catch (...) {
            // Closing is all that is left to do; the file goes either way.
        }
        remove_temporary();
    }
    if (directory_ >= 0) ::close(directory_);
}

void OutputFile::remove_temporary() {
    if (!temporary_.empty()) unlinkat(directory_, temporary_.c_str(), 0);
    removed_on_signal_.clear();
}

void OutputFile::commit() {
    done_ = true;
    bool complete = static_cast<bool>(flush());
    try {
        reset();
    } catch (const std::exception&) {
        complete = false;
    }
    const int error = sink_->error != 0 ? sink_->error : (complete ? 0 : EIO);
    if (error != 0) {
        remove_temporary();
        throw badfilename(path_.string(), reason("can't write file", error));
    }
    // A file removed or replaced while it was written is lost all the same.
    struct stat now = {};
    const int found = temporary_.empty() ? stat(path_.c_str(), &now) : fstatat(directory_, temporary_.c_str(), &now, 0);
    if (found != 0 || now.st_dev != sink_->identity.st_dev || now.st_ino != sink_->identity.st_ino) {
        removed_on_signal_.clear();
        throw badfilename(path_.string(), "file vanished while it was written.");
    }
    if (temporary_.empty()) return;
    if (renameat(directory_, temporary_.c_str(), directory_, target_.filename().c_str()) != 0) {
        const int rename_error = errno;
        remove_temporary();
        throw badfilename(path_.string(), reason("can't write file", rename_error));
    }
    removed_on_signal_.clear();
}

}  // namespace vorlan2

std::unique_ptr<vorlan2::OutputFile> open_output_file(const fs::path& path, std::ostream& log,
                                                      std::ios_base::openmode mode, vorlan2::WorkerPool* workers) {
    const bool compressed = vorlan2::is_gzip_name(path);
    log << "writing output file " << path.string();
    if (compressed) log << " (in gzip mode) ";
    log << std::endl;

    // From here on the stream removes its temporary file whatever happens.
    std::unique_ptr<vorlan2::OutputFile> stream(new vorlan2::OutputFile(path));
    std::FILE* file = nullptr;
    if (mode & std::ios_base::app) {
        file = std::fopen(path.c_str(), "ab");
    } else {
        stream->target_ = link_target(path);
        const fs::path& target = stream->target_;
        struct stat existing = {};
        const bool exists = stat(target.c_str(), &existing) == 0;
        if (exists && S_ISDIR(existing.st_mode)) cannot_open(path, EISDIR);
        if (exists && !S_ISREG(existing.st_mode)) {
            file = std::fopen(path.c_str(), "wb");
        } else {
            // Replacing a file that could not be written to would override its protection.
            if (exists && faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) cannot_open(path, errno);
            stream->directory_ = open_directory(path, target);
            int descriptor = -1;
            stream->temporary_ = create_temporary(path, stream->directory_, exists ? &existing : nullptr,
                                                  stream->removed_on_signal_, descriptor);
            file = fdopen(descriptor, "wb");
            if (file == nullptr) {
                const int error = errno;
                ::close(descriptor);
                cannot_open(path, error);
            }
        }
    }
    if (file == nullptr) cannot_open(path, errno);

    checked_file_sink sink(file, compressed, workers);
    stream->sink_ = sink.state();
    stream->push(sink, stream_buffer_size);
    return stream;
}

std::unique_ptr<vorlan2::OutputFile> open_output_file(const fs::path& path, std::ostream& log,
                                                      std::ios_base::openmode mode) {
    return open_output_file(path, log, mode, nullptr);
}

std::unique_ptr<vorlan2::OutputFile> open_output_file(const fs::path& path, std::ios_base::openmode mode) {
    std::ostringstream discarded;
    return open_output_file(path, discarded, mode);
}
