// The output lock: taken and its file removed at the end, refused while
// another process holds it and taken over once that process is gone, and
// never a reason to stop a run where no lock can be had.
#include "simulator/output_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/test_files.h"

using namespace vorlan2;

namespace {

namespace fs = std::filesystem;

using Names = std::set<std::string>;

// A process of its own that holds the lock on the file until it is ended:
// record locks never conflict within one process.
class OtherRun {
public:
    explicit OtherRun(const std::string& path) {
        int ready[2];
        if (pipe(ready) != 0 || pipe(stop_) != 0) throw std::runtime_error("no pipe");
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            close(stop_[1]);
            const int file = open(path.c_str(), O_RDWR | O_CREAT, 0666);
            struct flock range = {};
            range.l_type = F_WRLCK;
            range.l_whence = SEEK_SET;
            if (file < 0 || fcntl(file, F_SETLK, &range) != 0) _exit(126);
            if (write(ready[1], "x", 1) != 1) _exit(126);
            char byte;
            while (read(stop_[0], &byte, 1) > 0) {
            }
            _exit(0);
        }
        close(ready[1]);
        close(stop_[0]);
        char byte = 0;
        if (read(ready[0], &byte, 1) != 1) throw std::runtime_error("the other run did not take the lock");
        close(ready[0]);
    }
    ~OtherRun() { end(); }

    // Ends the process, however far it got: its lock file stays behind.
    void end() {
        if (pid_ <= 0) return;
        close(stop_[1]);
        waitpid(pid_, nullptr, 0);
        pid_ = 0;
    }
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = 0;
    int stop_[2] = {-1, -1};
};

TEST(OutputLock, HeldByAnotherProcessIsRefusedNamingItThenTakenOver) {
    TempDir dir;
    const std::string path = dir.file("run.lock");
    OtherRun other(path);
    {
        OutputLock lock;
        pid_t holder = 0;
        EXPECT_FALSE(lock.try_lock(path, holder));
        EXPECT_EQ(holder, other.pid());
        EXPECT_FALSE(lock.held());
    }
    // The refused run leaves the holder's file alone.
    EXPECT_EQ(file_names_in(dir.path()), (Names{"run.lock"}));

    other.end();
    {
        OutputLock lock;
        pid_t holder = -1;
        EXPECT_TRUE(lock.try_lock(path, holder));
        EXPECT_TRUE(lock.held());
        EXPECT_EQ(holder, 0);
    }
    EXPECT_EQ(file_names_in(dir.path()), Names{});
}

TEST(OutputLock, WhatBecomesOfTheFileAtTheName) {
    struct Case {
        const char* name;
        std::function<void(const TempDir&)> before;
        std::string lock_name;
        bool held;
        Names while_held;
        Names after;
    };
    const std::vector<Case> cases = {
        {"no file: created, then removed", [](const TempDir&) {}, "run.lock", true, {"run.lock"}, {}},
        {"empty file left by a killed run: taken over and removed",
         [](const TempDir& dir) { write_file(dir.file("run.lock"), ""); },
         "run.lock",
         true,
         {"run.lock"},
         {}},
        {"a file with content is not a run's lock file: locked and kept",
         [](const TempDir& dir) { write_file(dir.file("run.lock"), "notes\n"); },
         "run.lock",
         true,
         {"run.lock"},
         {"run.lock"}},
        {"directory missing: unlocked", [](const TempDir&) {}, "missing/run.lock", false, {}, {}},
        {"symbolic link: unlocked, its target not created",
         [](const TempDir& dir) { fs::create_symlink("elsewhere", dir.path() / "run.lock"); },
         "run.lock",
         false,
         {"run.lock"},
         {"run.lock"}},
        {"directory: unlocked",
         [](const TempDir& dir) { fs::create_directory(dir.path() / "run.lock"); },
         "run.lock",
         false,
         {"run.lock"},
         {"run.lock"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        c.before(dir);
        const fs::path at_name = dir.path() / "run.lock";
        const bool was_file = fs::is_regular_file(fs::symlink_status(at_name));
        const std::string content = was_file ? read_file(at_name.string()) : "";
        {
            OutputLock lock;
            pid_t holder = -1;
            EXPECT_TRUE(lock.try_lock(dir.file(c.lock_name), holder));
            EXPECT_EQ(holder, 0);
            EXPECT_EQ(lock.held(), c.held);
            EXPECT_EQ(file_names_in(dir.path()), c.while_held);
        }
        EXPECT_EQ(file_names_in(dir.path()), c.after);
        if (was_file && c.after.count("run.lock") != 0) {
            EXPECT_EQ(read_file(at_name.string()), content);
        }
    }
}

}  // namespace
