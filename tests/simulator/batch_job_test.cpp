// The whole program as a batch job runs it: closed standard streams, a
// termination signal while the files are written, two runs on one output
// name, and output names at the file system's limit.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "simulator/support/whole_program_cases.h"

namespace {

namespace fs = std::filesystem;
using namespace whole_program;

const std::string banner_line = "  Welcome to VORLAN_v2.2.0 (01/04/2011)\n";

std::string at_zero_seconds(const std::string& text) {
    static const std::regex elapsed("VORLAN took [0-9.e+]+ seconds");
    return std::regex_replace(text, elapsed, "VORLAN took 0 seconds");
}

int count_of(const std::string& text, const std::string& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

bool is_temporary(const std::string& name) { return name.rfind("vorlan2.part", 0) == 0; }

// The regular files of a directory by name, with their bytes; the program
// runner's own files left out.
std::map<std::string, std::string> files_in(const fs::path& directory) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(directory)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name.rfind(".program.", 0) != 0) files[name] = read_file(entry.path().string());
    }
    return files;
}

TEST(BatchJob, ClosedStandardStreams) {
    const std::string message = "Error: can't write standard output: Bad file descriptor.";
    struct Case {
        const char* name;
        std::vector<int> closed;
        bool finishes;
        std::string err;
    };
    const std::vector<Case> cases = {
        {"standard input", {STDIN_FILENO}, true, ""},
        {"standard error", {STDERR_FILENO}, true, ""},
        {"all three but standard output", {STDIN_FILENO, STDERR_FILENO}, true, ""},
        {"standard output", {STDOUT_FILENO}, false, message + "\n"},
        {"standard output and error", {STDOUT_FILENO, STDERR_FILENO}, false, ""},
    };
    const RunDirectory reference;
    const ProgramRun usual = reference.run(base_words);
    ASSERT_EQ(usual.status, 0) << tail(usual.out);
    const auto usual_files = files_in(reference.path());

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RunDirectory dir;
        const std::vector<int> closed = c.closed;
        const ProgramRun run = run_vorlan2_program(base_words, dir.path(), [closed] {
            for (const int descriptor : closed) close(descriptor);
        });
        const auto files = files_in(dir.path());
        const std::string summary = files.count("run.summary") != 0 ? files.at("run.summary") : "";
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(count_of(summary, banner_line), 1) << summary;
        if (c.finishes) {
            EXPECT_EQ(run.status, 0) << tail(summary);
            EXPECT_EQ(at_zero_seconds(run.out), at_zero_seconds(usual.out));
            ASSERT_EQ(files.size(), usual_files.size());
            for (const auto& [name, content] : usual_files)
                EXPECT_EQ(at_zero_seconds(files.at(name)), at_zero_seconds(content)) << name;
        } else {
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.out, "");
            // Stopped at the first flush, before any output file.
            EXPECT_TRUE(ends_with_error(summary, message)) << summary;
            EXPECT_EQ(count_of(summary, message), 1) << summary;
            EXPECT_EQ(files.count("run.controls.haps"), 0u);
        }
    }
}

// A run of the example panel long enough to be caught writing its files, on
// one CPU so that it is not over before the test looks.
std::vector<std::string> large_run(const std::string& output) {
    const fs::path examples = fs::path(VORLAN2_SOURCE_DIR) / "examples";
    return {"-h",      (examples / "example.haps").string(),
            "-l",      (examples / "example.legend").string(),
            "-m",      (examples / "example.map").string(),
            "-o",      output,
            "-n",      "1500",
            "1500",    "-dl",
            "1500000", "1",
            "1.5",     "2.25",
            "-nrs"};
}

void on_one_cpu() {
    if (!pin_to_first_cpu()) _exit(126);
    // The test decides what the signals do, not whoever started it.
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) std::signal(signal, SIG_DFL);
}

// Waits until the running program writes a temporary file in the directory
// after `written` is complete (any time when it is empty); false when the
// program ends first.
bool wait_until_writing(pid_t child, const fs::path& directory, const std::string& written) {
    for (;;) {
        if (fs::exists(directory)) {
            bool writing = false;
            for (const auto& entry : fs::directory_iterator(directory))
                writing = writing || is_temporary(entry.path().filename().string());
            if (writing && (written.empty() || fs::exists(directory / written))) return true;
        }
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

TEST(BatchJob, TerminationSignalWhileWritingLeavesOnlyWholeFiles) {
    struct Case {
        const char* name;
        int signal;
        std::string output;
        std::string written;  // complete when the signal is sent
    };
    const std::vector<Case> cases = {
        {"SIGTERM on the first file", SIGTERM, "out/sim", ""},
        {"SIGINT after the first compressed file", SIGINT, "out/sim.gz", "sim.controls.haps.gz"},
        {"SIGHUP after the legend", SIGHUP, "out/sim", "sim.legend"},
        {"SIGTERM after the controls' compressed genotypes", SIGTERM, "out/sim.gz", "sim.controls.gen.gz"},
    };
    std::map<std::string, std::map<std::string, std::string>> finished;
    for (const std::string output : {"out/sim", "out/sim.gz"}) {
        TempDir dir;
        const ProgramRun run = run_vorlan2_program(large_run(output), dir.path(), on_one_cpu);
        ASSERT_EQ(run.status, 0) << tail(run.out);
        finished[output] = files_in(dir.path() / "out");
    }

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const pid_t child = start_vorlan2_program(large_run(c.output), dir.path(), on_one_cpu);
        if (!wait_until_writing(child, dir.path() / "out", c.written)) {
            ADD_FAILURE() << "the run ended before it was caught writing";
            finish_vorlan2_program(child, dir.path());
            continue;
        }
        kill(child, c.signal);
        const ProgramRun run = finish_vorlan2_program(child, dir.path());

        EXPECT_EQ(run.status, 128 + c.signal);
        EXPECT_EQ(run.err,
                  "Interrupted by signal " + std::to_string(c.signal) + "; the files being written were removed.\n");
        const auto files = files_in(dir.path() / "out");
        if (!c.written.empty()) {
            EXPECT_EQ(files.count(c.written), 1u);
        }
        const auto& whole = finished.at(c.output);
        for (const auto& [name, content] : files) {
            EXPECT_FALSE(is_temporary(name)) << name;
            EXPECT_NE(name, "sim.lock");
            if (name.find(".summary") != std::string::npos) continue;
            ASSERT_EQ(whole.count(name), 1u) << name;
            EXPECT_TRUE(content == whole.at(name)) << name << " is not whole";
        }
    }
}

TEST(BatchJob, SecondRunOnAnOutputBeingWrittenIsRefused) {
    TempDir dir;
    const std::string output = dir.file("out/sim");
    const pid_t first = start_vorlan2_program(large_run(output), dir.path(), on_one_cpu);
    ASSERT_TRUE(wait_until_writing(first, dir.path() / "out", ""));
    // Held still while the others try, so that it is sure to be running.
    kill(first, SIGSTOP);
    // A ".gz" output of the same name writes the same legend and sample files.
    for (const std::string& same : {output, output + ".gz"}) {
        SCOPED_TRACE(same);
        TempDir elsewhere;
        const ProgramRun second = run_vorlan2_program(large_run(same), elsewhere.path());
        EXPECT_EQ(second.status, 1);
        EXPECT_TRUE(ends_with_error(second.out, "Error encountered, program terminated: the output " + same +
                                                    " is being written by another run (process " +
                                                    std::to_string(first) +
                                                    "); choose another output name with -o, or wait until that "
                                                    "run has ended.\n"))
            << tail(second.out);
    }
    kill(first, SIGCONT);
    const ProgramRun run = finish_vorlan2_program(first, dir.path());
    EXPECT_EQ(run.status, 0);
    // The first run's transcript alone, as its console showed it after the
    // notice of the directory it created.
    const std::string notice = "Creating directory " + dir.file("out") + "\n";
    ASSERT_EQ(run.out.rfind(notice, 0), 0u);
    EXPECT_EQ(read_file(output + ".summary"), run.out.substr(notice.size()));
    EXPECT_FALSE(fs::exists(output + ".gz.summary"));
    EXPECT_FALSE(fs::exists(output + ".lock"));
}

// Holds the lock on the file as another run would, from this process.
class HeldLock {
public:
    explicit HeldLock(const fs::path& path) : file_(open(path.c_str(), O_RDWR | O_CREAT, 0666)) {
        struct flock range = {};
        range.l_type = F_WRLCK;
        range.l_whence = SEEK_SET;
        if (file_ < 0 || fcntl(file_, F_SETLK, &range) != 0) throw std::runtime_error("cannot lock " + path.string());
    }
    // The file stays, as a killed run's does.
    ~HeldLock() { close(file_); }
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

private:
    int file_;
};

TEST(BatchJob, OutputLockedByAnotherRunRefusesTheRunBeforeItWritesAnything) {
    const std::string in_use = "is being written by another run (process " + std::to_string(getpid()) +
                               "); choose another output name with -o, or wait until that run has ended.\n";
    struct Case {
        const char* name;
        std::vector<std::string> words;
        std::string lock_file;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"same output", base_words, "run.lock", "Error encountered, program terminated: the output run " + in_use},
        {"gzip output of the same name", words_with({"-o", "run.gz"}), "run.lock",
         "Error encountered, program terminated: the output run.gz " + in_use},
        {"in a directory", words_with({"-o", "out/run"}), "out/run.lock",
         "Error encountered, program terminated: the output out/run " + in_use},
        {"bad command line", {"-h", "panel.haps", "-o", "run"}, "run.lock", missing("-l")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RunDirectory dir;
        fs::create_directory(dir.path() / "out");
        for (const char* summary : {"run.summary", "run.gz.summary", "out/run.summary"})
            dir.write(summary, "the other run's transcript\n");
        const auto before = files_in(dir.path());
        const auto before_in_out = files_in(dir.path() / "out");
        // Any file of it that this process closes lets the lock go: the
        // files are read before and after.
        auto other_run = std::make_unique<HeldLock>(dir.path() / c.lock_file);

        const ProgramRun run = dir.run(c.words);

        other_run.reset();
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "");
        EXPECT_TRUE(ends_with_error(run.out, c.message)) << tail(run.out);
        auto after = files_in(dir.path());
        auto after_in_out = files_in(dir.path() / "out");
        // The other run's lock file is left to it.
        EXPECT_EQ((c.lock_file == "run.lock" ? after : after_in_out).erase(fs::path(c.lock_file).filename()), 1u);
        EXPECT_EQ(after, before);
        EXPECT_EQ(after_in_out, before_in_out);
    }

    // A lock file left by a run that ended, however it ended, is taken over.
    const RunDirectory dir;
    { const HeldLock ended_run(dir.path() / "run.lock"); }
    const ProgramRun run = dir.run(base_words);
    EXPECT_EQ(run.status, 0) << tail(run.out);
    EXPECT_FALSE(fs::exists(dir.path() / "run.lock"));
}

TEST(BatchJob, OutputNamesUpToTheFileSystemLimitWork) {
    struct Case {
        std::string output;
        std::string longest;  // 255 bytes at most
    };
    const std::vector<Case> cases = {
        {"out/" + std::string(226, 'a'), std::string(226, 'a') + ".controls.tags.gen"},
        {"out/" + std::string(237, 'b'), std::string(237, 'b') + ".controls.tags.gen"},
        {"out/" + std::string(234, 'c') + ".gz", std::string(234, 'c') + ".controls.tags.gen.gz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.longest.size());
        ASSERT_LE(c.longest.size(), 255u);
        const RunDirectory dir;
        const ProgramRun run = dir.run(words_with({"-o", c.output, "-t", "tags.txt"}));
        EXPECT_EQ(run.status, 0) << tail(run.out);
        const auto files = files_in(dir.path() / "out");
        EXPECT_EQ(files.count(c.longest), 1u);
        for (const auto& [name, content] : files) EXPECT_FALSE(is_temporary(name)) << name;
        EXPECT_EQ(files.size(), 10u);
    }
}

}  // namespace
