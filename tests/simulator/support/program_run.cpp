// Runs of the vorlan2 binary in a child process.
#include "simulator/support/program_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "support/test_files.h"

namespace {

std::filesystem::path out_path(const std::filesystem::path& directory) { return directory / ".program.out"; }
std::filesystem::path err_path(const std::filesystem::path& directory) { return directory / ".program.err"; }

}  // namespace

ProgramRun run_vorlan2_program(const std::vector<std::string>& words, const std::filesystem::path& directory,
                               const std::function<void()>& in_child) {
    return finish_vorlan2_program(start_vorlan2_program(words, directory, in_child), directory);
}

pid_t start_vorlan2_program(const std::vector<std::string>& words, const std::filesystem::path& directory,
                            const std::function<void()>& in_child) {
    const auto out = out_path(directory);
    const auto err = err_path(directory);
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(directory.c_str()) != 0) _exit(127);
        if (!freopen(out.c_str(), "w", stdout) || !freopen(err.c_str(), "w", stderr)) _exit(127);
        if (in_child) in_child();
        std::vector<char*> argv;
        static std::string program = VORLAN2_BINARY;
        argv.push_back(program.data());
        std::vector<std::string> copies(words);
        for (auto& word : copies) argv.push_back(word.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return child;
}

ProgramRun finish_vorlan2_program(pid_t child, const std::filesystem::path& directory) {
    int status = 0;
    waitpid(child, &status, 0);
    ProgramRun run{WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
                   read_file(out_path(directory).string()), read_file(err_path(directory).string())};
    std::filesystem::remove(out_path(directory));
    std::filesystem::remove(err_path(directory));
    return run;
}
