// The output lock's life: the file is created by the first run that needs it
// and removed by its holder before the lock is let go; a run that locks a
// file then checks that it still bears the name, since a file removed while
// a run waited on it locks nothing.
#include "simulator/output_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace vorlan2 {

namespace {

namespace fs = std::filesystem;

// A lock let go and removed between two looks, again and again, is taken for
// one in use.
constexpr int attempts = 100;

struct flock whole_file(short type) {
    struct flock range = {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    return range;  // from the start, to the end however long
}

bool same_file(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

}  // namespace

OutputLock::~OutputLock() {
    if (file_ < 0) return;
    // Out of the signal table first: once the file is gone its name may be
    // another run's lock file.
    removed_on_signal_.clear();
    if (ours_) unlinkat(directory_, name_.c_str(), 0);
    ::close(file_);
    ::close(directory_);
}

bool OutputLock::try_lock(const fs::path& path, pid_t& holder) {
    holder = 0;
    const fs::path directory_name = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const int directory = ::open(directory_name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (directory < 0) return true;
    const auto unlocked = [directory] {
        ::close(directory);
        return true;
    };
    const std::string name = path.filename().string();
    for (int attempt = 0; attempt < attempts; ++attempt) {
        const int file = ::openat(directory, name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (file < 0) return unlocked();
        struct stat locked = {};
        if (fstat(file, &locked) != 0 || !S_ISREG(locked.st_mode)) {
            ::close(file);
            return unlocked();
        }
        struct flock range = whole_file(F_WRLCK);
        if (fcntl(file, F_SETLK, &range) == 0) {
            struct stat named = {};
            if (fstatat(directory, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && same_file(locked, named)) {
                directory_ = directory;
                file_ = file;
                name_ = name;
                ours_ = named.st_size == 0;
                if (ours_) removed_on_signal_.set(directory, name);
                return true;
            }
            // Removed by the run that held it while this one opened it.
            ::close(file);
            continue;
        }
        const int error = errno;
        if (error != EACCES && error != EAGAIN) {
            ::close(file);
            return unlocked();
        }
        range = whole_file(F_WRLCK);
        const bool probed = fcntl(file, F_GETLK, &range) == 0;
        ::close(file);
        // Let go between the two calls.
        if (probed && range.l_type == F_UNLCK) continue;
        holder = probed && range.l_pid > 0 ? range.l_pid : 0;
        break;
    }
    ::close(directory);
    return false;
}

}  // namespace vorlan2
