// The good run's inputs and the check of one bad-input case.
#include "simulator/support/whole_program_cases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace whole_program {

namespace fs = std::filesystem;

const std::string map_text = "position rate cM\n1000 1 0\n5000 1 0.01\n";
const std::string haps_text = "0 1 0 1 1 0 0 1\n1 1 0 0 1 0 1 1\n0 0 0 0 1 1 1 1\n1 1 1 1 1 1 1 1\n";
const std::string legend_text = "rs pos a0 a1\nrs1 1000 A G\nrs2 2000 C T\nrs3 3000 G A\nrs4 4000 T C\n";
const std::string bom = "\xEF\xBB\xBF";
const std::vector<std::string> base_words = {"-h", "panel.haps", "-l", "panel.legend", "-m",  "map.txt", "-o", "run",
                                             "-n", "2",          "2",  "-nrs",         "-dl", "2000",    "1",  "2",
                                             "4"};

const Names summary_only = {"run.summary"};
const Names up_to_genotypes = {"run.summary", "run.controls.haps", "run.cases.haps",
                               "run.legend",  "run.controls.gen",  "run.cases.gen"};
const Names all_outputs = {"run.summary",      "run.controls.haps", "run.cases.haps",      "run.legend",
                           "run.controls.gen", "run.cases.gen",     "run.controls.sample", "run.cases.sample"};

Names without(Names names, const std::string& name) {
    names.erase(name);
    return names;
}

std::string bad_value(const std::string& flag) { return "ERROR!!! Bad value given for flag: " + flag; }
std::string missing(const std::string& flag) { return "ERROR!!! Must specify a value for flag: " + flag; }
std::string bad_file(const std::string& file, const std::string& reason) {
    return "Error reading file " + file + ": " + reason;
}

namespace {

// Every file and directory under the directory, as relative paths.
Names entries(const fs::path& directory) {
    Names names;
    for (const auto& entry : fs::recursive_directory_iterator(directory))
        names.insert(fs::relative(entry.path(), directory).string());
    return names;
}

const std::regex& elapsed_end() {
    static const std::regex pattern("\nVORLAN took [0-9]+ seconds to complete\\. Have a nice day! \n$");
    return pattern;
}

bool has_line(const std::string& text, const std::string& line) {
    return text.find("\n" + line + "\n") != std::string::npos || text.rfind(line + "\n", 0) == 0;
}

bool is_summary(const std::string& name) {
    return name.size() > 8 && name.compare(name.size() - 8, 8, ".summary") == 0;
}

}  // namespace

bool ends_with_elapsed_line(const std::string& text) { return std::regex_search(text, elapsed_end()); }

bool ends_with_error(const std::string& text, const std::string& message) {
    std::smatch match;
    if (!std::regex_search(text, match, elapsed_end())) return false;
    const std::string before = text.substr(0, static_cast<std::size_t>(match.position(0)));
    const std::string expected = message + "\n\n";
    return before.size() >= expected.size() &&
           before.compare(before.size() - expected.size(), expected.size(), expected) == 0;
}

bool lines_match(const std::string& text, const std::regex& pattern, int count) {
    std::istringstream lines(text);
    std::string line;
    int n = 0;
    while (std::getline(lines, line)) {
        if (!std::regex_match(line, pattern)) return false;
        ++n;
    }
    return n == count && !text.empty() && text.back() == '\n';
}

std::string tail(const std::string& text) {
    return text.substr(text.size() - std::min<std::size_t>(text.size(), 2000));
}

void check_case(const Case& c) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    for (const auto& name : c.directories) fs::create_directories(dir.path() / name);
    for (const auto& [name, content] : c.files) write_file(dir.file(name), content);
    for (const auto& [name, target] : c.links) fs::create_symlink(target, dir.path() / name);
    const Names before = entries(dir.path());

    const ProgramRun run = run_vorlan2_program(c.words, dir.path(), c.in_child);

    EXPECT_EQ(run.status, c.status) << tail(run.out);
    EXPECT_EQ(run.err, c.err);
    Names created;
    for (const auto& name : entries(dir.path()))
        if (before.count(name) == 0) created.insert(name);
    EXPECT_EQ(created, c.created);

    std::string summary;
    for (const auto& name : created)
        if (is_summary(name)) summary = read_file(dir.file(name));
    if (c.transcript_end) {
        EXPECT_TRUE(ends_with_error(run.out, *c.transcript_end)) << tail(run.out);
        if (!summary.empty()) {
            EXPECT_TRUE(ends_with_error(summary, *c.transcript_end)) << tail(summary);
        }
    } else {
        EXPECT_TRUE(ends_with_elapsed_line(run.out)) << tail(run.out);
    }
    if (c.notice) {
        EXPECT_TRUE(has_line(run.out, *c.notice)) << run.out;
        EXPECT_EQ(has_line(summary, *c.notice), !c.notice_console_only) << summary;
    }
}

RunDirectory::RunDirectory(const std::string& line_end) {
    const auto ends = [&line_end](const std::string& text) {
        return std::regex_replace(text, std::regex("\n"), line_end);
    };
    write_file(dir_.file("map.txt"), ends(map_text));
    write_file(dir_.file("panel.haps"), ends(haps_text));
    write_file(dir_.file("panel.legend"), ends(legend_text));
    write_file(dir_.file("tags.txt"), ends("3000 1000\n2000\n"));
}

ProgramRun RunDirectory::run(const std::vector<std::string>& words) const {
    return run_vorlan2_program(words, dir_.path());
}

std::string RunDirectory::file(const std::string& name) const { return read_file(dir_.file(name)); }

void RunDirectory::write(const std::string& name, const std::string& content) const {
    write_file(dir_.file(name), content);
}

std::vector<std::string> words_with(const std::vector<std::string>& more) {
    std::vector<std::string> words = base_words;
    words.insert(words.end(), more.begin(), more.end());
    return words;
}

}  // namespace whole_program
