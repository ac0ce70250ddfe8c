// A run never deletes or overwrites one of its own input files: the names of
// the files a run writes, and the refusal of a run whose output file is one
// of its inputs, by name or through a hard or symbolic link.
#include "simulator/input_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "simulator/output_names.h"
#include "simulator/support/whole_program_cases.h"

using namespace vorlan2;

namespace {

namespace fs = std::filesystem;
using namespace whole_program;

VorlanParameters output_parameters(const std::string& output, const std::set<std::string>& flags) {
    VorlanParameters params;
    params.output_file = output;
    params.output_directory = params.output_file.parent_path();
    params.summary_file = output + ".summary";
    params.given_flags = flags;
    return params;
}

std::vector<std::string> names_of(const std::vector<fs::path>& paths) {
    std::vector<std::string> names;
    for (const auto& path : paths) names.push_back(path.string());
    return names;
}

TEST(RunOutputFiles, FollowTheFlagsAndTheGzipEnding) {
    struct Case {
        std::string output;
        std::set<std::string> flags;
        std::vector<std::string> files;
    };
    const std::vector<Case> cases = {
        {"out/sim",
         {},
         {"out/sim.summary", "out/sim.controls.haps", "out/sim.cases.haps", "out/sim.legend", "out/sim.controls.gen",
          "out/sim.cases.gen", "out/sim.controls.sample", "out/sim.cases.sample"}},
        {"out/sim.gz",
         {"-t", "-no_gens_output"},
         {"out/sim.gz.summary", "out/sim.controls.haps.gz", "out/sim.cases.haps.gz", "out/sim.legend",
          "out/sim.controls.tags.gen.gz", "out/sim.cases.tags.gen.gz", "out/sim.controls.sample",
          "out/sim.cases.sample"}},
        {"sim", {"-no_haps_output", "-no_gens_output"}, {"sim.summary", "sim.controls.sample", "sim.cases.sample"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(names_of(run_output_files(output_parameters(c.output, c.flags))), c.files) << c.output;
}

TEST(RunOutputFiles, AreTheFilesThatARunWrites) {
    const RunDirectory dir;
    const std::vector<std::string> words = words_with({"-o", "run.gz", "-t", "tags.txt"});
    std::vector<std::string> argv_words = {"vorlan2"};
    argv_words.insert(argv_words.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (auto& word : argv_words) argv.push_back(word.data());
    VorlanParameters params;
    testing::internal::CaptureStdout();
    params.process_parameters(static_cast<int>(argv.size()), argv.data());
    testing::internal::GetCapturedStdout();

    const ProgramRun run = dir.run(words);
    ASSERT_EQ(run.status, 0) << tail(run.out);
    std::set<std::string> written;
    for (const auto& entry : fs::directory_iterator(dir.path())) written.insert(entry.path().filename().string());
    for (const char* input : {"map.txt", "panel.haps", "panel.legend", "tags.txt"}) written.erase(input);
    const auto listed = names_of(run_output_files(params));
    EXPECT_EQ(written, std::set<std::string>(listed.begin(), listed.end()));
}

// Every regular file under the directory (links followed) with its content.
std::map<std::string, std::string> contents(const fs::path& directory) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(directory))
        if (fs::is_regular_file(entry.path())) files[entry.path().filename().string()] = read_file(entry.path());
    return files;
}

struct GuardCase {
    std::string name;
    std::vector<std::string> words;
    std::map<std::string, std::string> hard_links;  // link name -> existing file
    std::map<std::string, std::string> symbolic_links;
    std::string message;  // empty: the run goes on and finishes
    Names created;
};

std::string clash(const std::string& output, const std::string& input, const std::string& flag) {
    return "Error encountered, program terminated: the output file " + output + " is the input file " + input +
           " given with " + flag + "; choose another output name with -o.\n";
}

TEST(InputFileGuard, RunWhoseOutputIsOneOfItsInputsIsRefusedBeforeAnythingIsWritten) {
    const std::vector<GuardCase> cases = {
        {"summary named as the map",
         words_with({"-m", "run.summary"}),
         {{"run.summary", "map.txt"}},
         {},
         clash("run.summary", "run.summary", "-m"),
         {}},
        {"output legend named as the input legend",
         words_with({"-o", "panel"}),
         {},
         {},
         clash("panel.legend", "panel.legend", "-l"),
         {"panel.summary"}},
        {"plain legend of a gzip output",
         words_with({"-o", "panel.gz"}),
         {},
         {},
         clash("panel.legend", "panel.legend", "-l"),
         {"panel.gz.summary"}},
        {"compressed tag genotypes named as the tag file",
         words_with({"-o", "run.gz", "-t", "run.cases.tags.gen.gz"}),
         {{"run.cases.tags.gen.gz", "tags.txt"}},
         {},
         clash("run.cases.tags.gen.gz", "run.cases.tags.gen.gz", "-t"),
         {"run.gz.summary"}},
        {"lock file named as the map",
         words_with({"-m", "run.lock"}),
         {{"run.lock", "map.txt"}},
         {},
         clash("run.lock", "run.lock", "-m"),
         {"run.summary"}},
        {"output hard-linked to the map",
         base_words,
         {{"run.cases.gen", "map.txt"}},
         {},
         clash("run.cases.gen", "map.txt", "-m"),
         {"run.summary"}},
        {"output linked to the haplotypes",
         base_words,
         {},
         {{"run.controls.sample", "panel.haps"}},
         clash("run.controls.sample", "panel.haps", "-h"),
         {"run.summary"}},
        {"bad command line with the default summary as the map",
         {"-h", "panel.haps", "-l", "panel.legend", "-m", "vorlan2.summary"},
         {{"vorlan2.summary", "map.txt"}},
         {},
         missing("-o"),
         {}},
        {"legend left out",
         words_with({"-o", "panel", "-no_haps_output"}),
         {},
         {},
         "",
         {"panel.summary", "panel.controls.gen", "panel.cases.gen", "panel.controls.sample", "panel.cases.sample"}},
        {"linked output left out",
         words_with({"-no_gens_output"}),
         {},
         {{"run.cases.gen", "map.txt"}},
         "",
         {"run.summary", "run.controls.haps", "run.cases.haps", "run.legend", "run.controls.sample",
          "run.cases.sample"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RunDirectory dir;
        for (const auto& [link, target] : c.hard_links) fs::create_hard_link(dir.path() / target, dir.path() / link);
        for (const auto& [link, target] : c.symbolic_links) fs::create_symlink(target, dir.path() / link);
        const auto before = contents(dir.path());
        std::set<std::string> names_before;
        for (const auto& entry : fs::directory_iterator(dir.path())) names_before.insert(entry.path().filename());

        const ProgramRun run = dir.run(c.words);

        EXPECT_EQ(run.status, c.message.empty() ? 0 : 1);
        EXPECT_EQ(run.err, "");
        if (!c.message.empty()) {
            EXPECT_TRUE(ends_with_error(run.out, c.message)) << tail(run.out);
        }
        const auto after = contents(dir.path());
        for (const auto& [name, content] : before) EXPECT_EQ(after.at(name), content) << name;
        Names created;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            if (names_before.count(entry.path().filename()) == 0) created.insert(entry.path().filename());
        EXPECT_EQ(created, c.created);
    }
}

}  // namespace
