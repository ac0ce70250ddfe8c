// Runs of the vorlan2 binary in a child process.
#include "simulator/support/program_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "support/test_files.h"

ProgramRun run_vorlan2_program(const std::vector<std::string>& words, const std::filesystem::path& directory,
                               const std::function<void()>& in_child) {
    const auto out_path = directory / ".program.out";
    const auto err_path = directory / ".program.err";
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(directory.c_str()) != 0) _exit(127);
        if (!freopen(out_path.c_str(), "w", stdout) || !freopen(err_path.c_str(), "w", stderr)) _exit(127);
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
    int status = 0;
    waitpid(child, &status, 0);
    ProgramRun run{WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), read_file(out_path.string()),
                   read_file(err_path.string())};
    std::filesystem::remove(out_path);
    std::filesystem::remove(err_path);
    return run;
}
