// The files a termination signal removes, in a child process that installs
// the handler and is then signalled: which files go, what standard error
// says, and how the process ends.
#include "common/signal_cleanup.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <set>
#include <string>
#include <thread>

#include "support/test_files.h"

using namespace vorlan2;

namespace {

namespace fs = std::filesystem;

using Names = std::set<std::string>;

void create(int directory, const char* name) {
    const int file = openat(directory, name, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (file < 0 || close(file) != 0) _exit(126);
}

struct Case {
    const char* name;
    int signal;
    bool from_another_thread;
    bool ignored_before;  // as under nohup
};

TEST(SignalCleanup, TerminationSignalRemovesTheListedFilesAndEndsTheProcess) {
    const Case cases[] = {
        {"SIGTERM to the main thread", SIGTERM, false, false},
        {"SIGINT to a worker thread", SIGINT, true, false},
        {"SIGHUP to a worker thread", SIGHUP, true, false},
        {"SIGHUP ignored before", SIGHUP, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string err = dir.file("err.txt");
        const pid_t child = fork();
        if (child == 0) {
            if (!freopen(err.c_str(), "w", stderr)) _exit(126);
            if (c.ignored_before) std::signal(c.signal, SIG_IGN);
            remove_files_on_termination_signals();
            const int directory = open(dir.path().c_str(), O_PATH | O_DIRECTORY);
            SignalRemovedFile first;
            SignalRemovedFile second;
            SignalRemovedFile cleared;
            SignalRemovedFile not_yet_created;
            create(directory, "first");
            create(directory, "second");
            create(directory, "cleared");
            create(directory, "unlisted");
            if (!first.set(directory, "first") || !second.set(directory, "second") ||
                !cleared.set(directory, "cleared") || !not_yet_created.set(directory, "not yet created"))
                _exit(126);
            cleared.clear();
            if (c.from_another_thread) {
                std::thread worker([&] { raise(c.signal); });
                worker.join();
            } else {
                raise(c.signal);
            }
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        if (c.ignored_before) {
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status), 0);
            EXPECT_EQ(file_names_in(dir.path()), (Names{"first", "second", "cleared", "unlisted", "err.txt"}));
            EXPECT_EQ(read_file(err), "");
        } else {
            ASSERT_TRUE(WIFSIGNALED(status)) << status;
            EXPECT_EQ(WTERMSIG(status), c.signal);
            EXPECT_EQ(file_names_in(dir.path()), (Names{"cleared", "unlisted", "err.txt"}));
            EXPECT_EQ(read_file(err), "Interrupted by signal " + std::to_string(c.signal) +
                                          "; the files being written were removed.\n");
        }
    }
}

TEST(SignalCleanup, NameTooLongForTheTableIsRefused) {
    SignalRemovedFile entry;
    EXPECT_TRUE(entry.set(AT_FDCWD, std::string(255, 'a')));
    EXPECT_FALSE(entry.set(AT_FDCWD, std::string(256, 'a')));
}

}  // namespace
