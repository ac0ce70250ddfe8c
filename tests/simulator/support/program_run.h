// Running the vorlan2 program from a test: its exit status and what it
// printed.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

struct ProgramRun {
    int status;
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs the vorlan2 binary with the given words in the given directory;
// in_child, when given, runs in the child just before the program starts
// (its standard output and error already redirected), to set limits.
ProgramRun run_vorlan2_program(const std::vector<std::string>& words, const std::filesystem::path& directory,
                               const std::function<void()>& in_child = nullptr);

// The same in two steps, for a test that acts while the program runs: starts
// it and returns its process id; then waits for it to end.
pid_t start_vorlan2_program(const std::vector<std::string>& words, const std::filesystem::path& directory,
                            const std::function<void()>& in_child = nullptr);
ProgramRun finish_vorlan2_program(pid_t child, const std::filesystem::path& directory);
