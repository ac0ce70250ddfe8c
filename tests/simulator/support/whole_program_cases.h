// The whole program on bad and real inputs: the files and command line of a
// good run, a table row naming what a case changes and what it expects, and
// the check of a row (exit status, messages, the files left behind).
#pragma once

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "simulator/support/program_run.h"
#include "support/test_files.h"

namespace whole_program {

using Names = std::set<std::string>;

// The good run: a map of two points, eight panel haplotypes over four SNPs
// (the last one monomorphic), 2 controls and 2 cases, a locus at 2000.
extern const std::string map_text;
extern const std::string haps_text;
extern const std::string legend_text;
extern const std::string bom;  // UTF-8 byte-order mark
extern const std::vector<std::string> base_words;

extern const Names summary_only;
extern const Names up_to_genotypes;  // a run that stops at the tag file
extern const Names all_outputs;
Names without(Names names, const std::string& name);

std::string bad_value(const std::string& flag);
std::string missing(const std::string& flag);
std::string bad_file(const std::string& file, const std::string& reason);

// One row of a table, built by naming what differs from the good run.
struct Case {
    explicit Case(std::string case_name) : name(std::move(case_name)) {}

    Case& words_are(std::vector<std::string> all) {
        words = std::move(all);
        return *this;
    }
    // Later flags take the place of earlier ones on the command line.
    Case& with(const std::vector<std::string>& more) {
        words.insert(words.end(), more.begin(), more.end());
        return *this;
    }
    Case& file(const std::string& file_name, const std::string& content) {
        files[file_name] = content;
        return *this;
    }
    Case& directory(const std::string& directory_name) {
        directories.push_back(directory_name);
        return *this;
    }
    Case& link(const std::string& link_name, const std::string& target) {
        links[link_name] = target;
        return *this;
    }
    // The run stops: the transcript ends with the message, a blank line and
    // the elapsed-time line, and the exit status is 1.
    Case& fails(const std::string& message) {
        status = 1;
        transcript_end = message;
        return *this;
    }
    // The run goes on with a notice: one line of the console, and of the
    // summary file too unless it is a console-only notice.
    Case& notes(const std::string& line, bool console_only) {
        status = 0;
        notice = line;
        notice_console_only = console_only;
        return *this;
    }
    Case& errors_with(const std::string& text) {
        err = text;
        return *this;
    }
    Case& creates(Names names) {
        created = std::move(names);
        return *this;
    }
    Case& file_size_limit(long long bytes) {
        in_child = [bytes] {
            if (!limit_file_size(bytes)) _exit(126);
        };
        return *this;
    }

    std::string name;
    std::vector<std::string> words = base_words;
    std::map<std::string, std::string> files = {
        {"map.txt", map_text}, {"panel.haps", haps_text}, {"panel.legend", legend_text}, {"tags.txt", "2000\n1000\n"}};
    std::vector<std::string> directories;
    std::map<std::string, std::string> links;
    int status = 0;
    std::optional<std::string> transcript_end;
    std::optional<std::string> notice;
    bool notice_console_only = false;
    std::string err;                 // all of standard error
    std::function<void()> in_child;  // run in the program's process before it starts
    Names created = all_outputs;     // every file and directory the run adds
};

// Runs the case in a fresh directory and checks everything it expects.
void check_case(const Case& c);

// The text ends with the message, a blank line and the elapsed-time line.
bool ends_with_error(const std::string& text, const std::string& message);
bool ends_with_elapsed_line(const std::string& text);
// The text is `count` lines, each matching the pattern.
bool lines_match(const std::string& text, const std::regex& pattern, int count);
// The last characters of a long transcript, for failure messages.
std::string tail(const std::string& text);

// A directory holding the good run's input files, in which the program runs.
class RunDirectory {
public:
    explicit RunDirectory(const std::string& line_end = "\n");

    ProgramRun run(const std::vector<std::string>& words) const;
    std::string file(const std::string& name) const;
    void write(const std::string& name, const std::string& content) const;
    const std::filesystem::path& path() const { return dir_.path(); }

private:
    TempDir dir_;
};

std::vector<std::string> words_with(const std::vector<std::string>& more);

}  // namespace whole_program
