// The advisory lock that keeps two runs from writing the same output files:
// a record lock on a lock file beside them, which the kernel releases when
// the process ends, however it ends.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

#include "common/signal_cleanup.h"

namespace vorlan2 {

class OutputLock {
public:
    OutputLock() = default;
    // When held: the lock file is removed, then the lock released.
    ~OutputLock();
    OutputLock(const OutputLock&) = delete;
    OutputLock& operator=(const OutputLock&) = delete;

    // Takes the lock on the regular file at `path`, creating the file when it
    // is missing, and holds it until the object ends; a lock file left by a
    // run that was killed is taken over. Returns false when another process
    // holds it, with that process's id in `holder` (0 when this process
    // cannot know it). Where no lock can be had (a directory the run may not
    // write, a file system without locks, a name that is not a regular file)
    // the run goes on unlocked: returns true and holds nothing, and the
    // outputs fail or succeed on their own. Call on an object that holds
    // nothing.
    bool try_lock(const std::filesystem::path& path, pid_t& holder);

    bool held() const { return file_ >= 0; }

private:
    int directory_ = -1;  // the lock file's directory, while held
    int file_ = -1;       // the locked file
    std::string name_;    // its name in that directory
    bool ours_ = false;   // empty, as runs leave it: removed at the end and by a signal
    SignalRemovedFile removed_on_signal_;
};

}  // namespace vorlan2
