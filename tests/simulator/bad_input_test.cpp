// Bad input to the whole program, one table: for each command line and set
// of input files, the exit status, the exact message, and the files that the
// run leaves behind. Then the inputs that users really have: CRLF line ends,
// byte-order marks, long lines, big files, a one-SNP interval, thousands of
// disease loci and a console that cannot be written.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "simulator/support/test_files.h"

namespace {

namespace fs = std::filesystem;
using Names = std::set<std::string>;

const std::string map_text = "position rate cM\n1000 1 0\n5000 1 0.01\n";
const std::string haps_text = "0 1 0 1 1 0 0 1\n1 1 0 0 1 0 1 1\n0 0 0 0 1 1 1 1\n1 1 1 1 1 1 1 1\n";
const std::string legend_text = "rs pos a0 a1\nrs1 1000 A G\nrs2 2000 C T\nrs3 3000 G A\nrs4 4000 T C\n";
const std::string bom = "\xEF\xBB\xBF";

const std::vector<std::string> base_words = {"-h", "panel.haps", "-l", "panel.legend", "-m", "map.txt", "-o", "run",
                                             "-n", "2",          "2",  "-nrs",         "-dl", "2000",   "1",  "2",
                                             "4"};

const Names summary_only = {"run.summary"};
const Names up_to_genotypes = {"run.summary",       "run.controls.haps", "run.cases.haps",
                               "run.legend",        "run.controls.gen",  "run.cases.gen"};
const Names all_outputs = {"run.summary",      "run.controls.haps", "run.cases.haps",      "run.legend",
                           "run.controls.gen", "run.cases.gen",     "run.controls.sample", "run.cases.sample"};

Names without(Names names, const std::string& name) {
    names.erase(name);
    return names;
}

// One row of the table, built by naming what differs from a good run.
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
    std::string err;
    Names created = all_outputs;
};

std::string bad_value(const std::string& flag) { return "ERROR!!! Bad value given for flag: " + flag; }
std::string missing(const std::string& flag) { return "ERROR!!! Must specify a value for flag: " + flag; }
std::string bad_file(const std::string& file, const std::string& reason) {
    return "Error reading file " + file + ": " + reason;
}

std::vector<Case> command_line_cases() {
    return {
        Case("no -o").words_are({"-h", "panel.haps", "-l", "panel.legend", "-m", "map.txt"})
            .fails(missing("-o")).creates({"vorlan2.summary"}),
        Case("no -m").words_are({"-h", "panel.haps", "-l", "panel.legend", "-o", "run"})
            .fails(missing("-m")).creates(summary_only),
        Case("-o last").words_are({"-h", "panel.haps", "-l", "panel.legend", "-m", "map.txt", "-o"})
            .fails(bad_value("-o")).creates({"vorlan2.summary"}),
        Case("-h last").with({"-h"}).fails(bad_value("-h")).creates(summary_only),
        Case("-l last").with({"-l"}).fails(bad_value("-l")).creates(summary_only),
        Case("-m last").with({"-m"}).fails(bad_value("-m")).creates(summary_only),
        Case("-t last").with({"-t"}).fails(bad_value("-t")).creates(summary_only),
        Case("-n one count").with({"-n", "5"}).fails(bad_value("-n")).creates(summary_only),
        Case("-n not a count").with({"-n", "5", "x"}).fails(bad_value("-n")).creates(summary_only),
        Case("-n negative").with({"-n", "-1", "5"}).fails(bad_value("-n")).creates(summary_only),
        Case("-int one end").with({"-int", "1000"}).fails(bad_value("-int")).creates(summary_only),
        Case("-int beyond 32 bits").with({"-int", "0", "3000000000"}).fails(bad_value("-int")).creates(summary_only),
        Case("-dl short group").with({"-dl", "1000", "1", "2"}).fails(bad_value("-dl")).creates(summary_only),
        Case("-dl negative risk").with({"-dl", "1000", "1", "-2", "4"}).fails(bad_value("-dl")).creates(summary_only),
        Case("-dl allele 2").with({"-dl", "1000", "2", "1", "1"})
            .fails("Error encountered, program terminated: Disease allele must be 0 or 1 but got 2 in DiseaseLocus. \n")
            .creates(summary_only),
        Case("-Ne not a number").with({"-Ne", "lots"}).fails(bad_value("-Ne")).creates(summary_only),
        Case("-theta infinite").with({"-theta", "inf"}).fails(bad_value("-theta")).creates(summary_only),
        Case("-Ne out of range").with({"-Ne", "40000"}).notes("Error: Ne needs to be set", true),
        Case("unknown flag").with({"-x"}).notes("    -x", false),
        Case("output directory under a file").words_are({"-h", "panel.haps", "-l", "panel.legend", "-m", "map.txt",
                                                         "-o", "afile/sub/run"})
            .file("afile", "")
            .fails("Error: filesystem error: cannot create directories: Not a directory [afile/sub]")
            .errors_with(bad_file("afile/sub/run.summary", "can't open file.") + "\n")
            .creates({}),
    };
}

std::vector<Case> reader_cases() {
    return {
        Case("map missing").with({"-m", "nomap.txt"}).fails(bad_file("nomap.txt", "can't open file."))
            .creates(summary_only),
        Case("map is a directory").with({"-m", "mapdir"}).directory("mapdir")
            .fails(bad_file("mapdir", "can't read file.")).creates(summary_only),
        Case("map blank line").file("map.txt", "position rate cM\n1000 1 0\n\n5000 1 0.01\n")
            .fails(bad_file("map.txt", "bad line in rates file on line 3")).creates(summary_only),
        Case("map two numbers").file("map.txt", "position rate cM\n1000 1\n")
            .fails(bad_file("map.txt", "bad line in rates file on line 2")).creates(summary_only),
        Case("map junk number").file("map.txt", "position rate cM\n1000 1 0\n5000 1 0.0l\n")
            .fails(bad_file("map.txt", "bad line in rates file on line 3")).creates(summary_only),
        Case("map infinite cM").file("map.txt", "position rate cM\n1000 1 inf\n")
            .fails(bad_file("map.txt", "bad line in rates file on line 2")).creates(summary_only),
        Case("map header only").file("map.txt", "position rate cM\n")
            .fails(bad_file("map.txt", "no rates found in file.")).creates(summary_only),
        Case("map empty").file("map.txt", "").fails(bad_file("map.txt", "no rates found in file."))
            .creates(summary_only),
        Case("haplotypes missing").with({"-h", "nothing.haps"})
            .fails(bad_file("nothing.haps", "can't open haplotype file.")).creates(summary_only),
        Case("haplotypes are a directory").with({"-h", "hapsdir"}).directory("hapsdir")
            .fails(bad_file("hapsdir", "can't read file.")).creates(summary_only),
        Case("legend missing").with({"-l", "nothing.legend"})
            .fails(bad_file("nothing.legend", "can't open legend file.")).creates(summary_only),
        Case("legend three fields").file("panel.legend", "rs pos a0 a1\nrs1 1000 A G\nrs2 2000 C\n")
            .fails(bad_file("panel.legend", "bad format detected in legend file on line 3.")).creates(summary_only),
        Case("legend fractional position").file("panel.legend", "rs pos a0 a1\nrs1 1000 A G\nrs2 2000.5 C T\n")
            .fails(bad_file("panel.legend", "bad format detected in legend file on line 3.")).creates(summary_only),
        Case("legend position beyond 32 bits").file("panel.legend", "rs pos a0 a1\nrs1 3000000000 A G\n")
            .fails(bad_file("panel.legend", "bad format detected in legend file on line 2.")).creates(summary_only),
        Case("haplotype letter").file("panel.haps", "0 1 0 1 1 0 0 1\n1 1 0 0 1 0 x 1\n")
            .fails(bad_file("panel.haps", "bad format detected in haplotype file on line 2.")).creates(summary_only),
        Case("haplotype allele 2").file("panel.haps", "0 1 0 1 1 0 0 1\n1 1 0 0 1 0 1 1\n0 0 0 0 1 1 2 1\n")
            .fails(bad_file("panel.haps", "bad format detected in haplotype file on line 3.")).creates(summary_only),
        Case("haplotype first line empty").file("panel.haps", "\n\n\n\n")
            .fails(bad_file("panel.haps", "bad format detected in haplotype file on line 1.")).creates(summary_only),
        Case("haplotype count differs").file("panel.haps", "0 1 0 1 1 0 0 1\n1 1 0 0 1 0 1 1\n0 0 0 0 1 1 1\n")
            .fails(bad_file("panel.haps", "different number of haplotypes found in haplotype file (8 and 7 on line 3."))
            .creates(summary_only),
        Case("no SNP in the interval").with({"-int", "5000", "9000"})
            .fails(bad_file("panel.haps", "No SNPs in the interval in haplotype file!")).creates(summary_only),
        Case("haplotype file longer").file("panel.haps", haps_text + "0 0 0 0 0 0 0 1\n")
            .notes("Warning: haplotype file contained more lines than legend file, only those SNPs with a line in the "
                   "legend file were read.",
                   true),
        Case("legend longer").file("panel.legend", legend_text + "rs5 4500 A C\n")
            .notes("Warning: legend file contained more lines than haplotype file, only those SNPs with a line in the "
                   "haplotype file were read.",
                   true),
        Case("byte-order marks on the header lines").file("map.txt", bom + map_text)
            .file("panel.legend", bom + legend_text),
        Case("byte-order mark on the first haplotype line").file("panel.haps", bom + haps_text)
            .fails(bad_file("panel.haps", "bad format detected in haplotype file on line 1.")).creates(summary_only),
        Case("byte-order mark on a legend data line").file("panel.legend", "rs pos a0 a1\n" + bom + "rs1 1000 A G\n")
            .fails(bad_file("panel.legend", "bad format detected in legend file on line 2.")).creates(summary_only),
        Case("byte-order mark on a map data line").file("map.txt", "position rate cM\n" + bom + "1000 1 0\n")
            .fails(bad_file("map.txt", "bad line in rates file on line 2")).creates(summary_only),
        Case("tag file missing").with({"-t", "notags.txt"})
            .fails(bad_file("notags.txt", "can't open file.")).creates(up_to_genotypes),
        Case("tag file is a directory").with({"-t", "tagdir"}).directory("tagdir")
            .fails(bad_file("tagdir", "can't read file.")).creates(up_to_genotypes),
        Case("tag file junk token").with({"-t", "tags.txt"}).file("tags.txt", "1000\n2000 3000x\n4000\n")
            .fails(bad_file("tags.txt", "bad tag position on line 2.")).creates(up_to_genotypes),
        Case("tag file byte-order mark").with({"-t", "tags.txt"}).file("tags.txt", bom + "1000\n")
            .fails(bad_file("tags.txt", "bad tag position on line 1.")).creates(up_to_genotypes),
    };
}

std::vector<Case> output_cases() {
    return {
        Case("directory in the way").directory("run.cases.gen")
            .fails(bad_file("run.cases.gen", "can't open file."))
            .creates({"run.summary", "run.controls.haps", "run.cases.haps", "run.legend", "run.controls.gen"}),
        Case("output name linked into a vanished directory").link("run.legend", "gone/run.legend")
            .fails(bad_file("run.legend", "can't open file."))
            .creates({"run.summary", "run.controls.haps", "run.cases.haps"}),
        Case("full disk under a haplotype file").link("run.controls.haps", "/dev/full")
            .fails(bad_file("run.controls.haps", "can't write file.")).creates(summary_only),
        Case("full disk under a sample file").link("run.cases.sample", "/dev/full")
            .fails(bad_file("run.cases.sample", "can't write file.")).creates(without(all_outputs, "run.cases.sample")),
        Case("full disk under a tag file").with({"-t", "tags.txt"}).link("run.controls.tags.gen", "/dev/full")
            .fails(bad_file("run.controls.tags.gen", "can't write file.")).creates(up_to_genotypes),
        Case("full disk under a compressed file").with({"-o", "run.gz"}).link("run.cases.gen.gz", "/dev/full")
            .fails(bad_file("run.cases.gen.gz", "can't write file."))
            .creates({"run.gz.summary", "run.controls.haps.gz", "run.cases.haps.gz", "run.legend",
                      "run.controls.gen.gz"}),
        Case("summary file cannot be opened").directory("run.summary").file("run.summary/keep", "")
            .fails(bad_file("run.summary", "can't open file."))
            .errors_with(bad_file("run.summary", "can't open file.") + "\n").creates({}),
    };
}

// Every file and directory under the directory, as relative paths.
Names entries(const fs::path& directory) {
    Names names;
    for (const auto& entry : fs::recursive_directory_iterator(directory))
        names.insert(fs::relative(entry.path(), directory).string());
    return names;
}

const std::regex elapsed_end("\nVORLAN took [0-9]+ seconds to complete\\. Have a nice day! \n$");

bool ends_with_error(const std::string& text, const std::string& message) {
    std::smatch match;
    if (!std::regex_search(text, match, elapsed_end)) return false;
    const std::string before = text.substr(0, static_cast<std::size_t>(match.position(0)));
    const std::string expected = message + "\n\n";
    return before.size() >= expected.size() && before.compare(before.size() - expected.size(), expected.size(),
                                                              expected) == 0;
}

// The text is `count` lines, each matching the pattern.
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

bool has_line(const std::string& text, const std::string& line) {
    return text.find("\n" + line + "\n") != std::string::npos || text.rfind(line + "\n", 0) == 0;
}

void check_case(const Case& c) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    for (const auto& name : c.directories) fs::create_directories(dir.path() / name);
    for (const auto& [name, content] : c.files) write_file(dir.file(name), content);
    for (const auto& [name, target] : c.links) fs::create_symlink(target, dir.path() / name);
    const Names before = entries(dir.path());

    const ProgramRun run = run_vorlan2_program(c.words, dir.path());

    EXPECT_EQ(run.status, c.status) << run.out;
    EXPECT_EQ(run.err, c.err);
    Names created;
    for (const auto& name : entries(dir.path()))
        if (before.count(name) == 0) created.insert(name);
    EXPECT_EQ(created, c.created);

    std::string summary;
    for (const auto& name : created)
        if (name.size() > 8 && name.compare(name.size() - 8, 8, ".summary") == 0) summary = read_file(dir.file(name));
    if (c.transcript_end) {
        EXPECT_TRUE(ends_with_error(run.out, *c.transcript_end)) << run.out;
        if (!summary.empty()) {
            EXPECT_TRUE(ends_with_error(summary, *c.transcript_end)) << summary;
        }
    } else {
        EXPECT_TRUE(std::regex_search(run.out, elapsed_end)) << run.out;
    }
    if (c.notice) {
        EXPECT_TRUE(has_line(run.out, *c.notice)) << run.out;
        EXPECT_EQ(has_line(summary, *c.notice), !c.notice_console_only) << summary;
    }
}

TEST(BadInputTest, CommandLine) {
    for (const Case& c : command_line_cases()) check_case(c);
}

TEST(BadInputTest, InputFiles) {
    for (const Case& c : reader_cases()) check_case(c);
}

TEST(BadInputTest, OutputFiles) {
    for (const Case& c : output_cases()) check_case(c);
}

// A directory holding the good run's input files, in which the program runs.
class RunDirectory {
public:
    explicit RunDirectory(const std::string& line_end = "\n") {
        const auto ends = [&line_end](std::string text) {
            return std::regex_replace(text, std::regex("\n"), line_end);
        };
        write_file(dir_.file("map.txt"), ends(map_text));
        write_file(dir_.file("panel.haps"), ends(haps_text));
        write_file(dir_.file("panel.legend"), ends(legend_text));
        write_file(dir_.file("tags.txt"), ends("3000 1000\n2000\n"));
    }

    ProgramRun run(const std::vector<std::string>& words) const { return run_vorlan2_program(words, dir_.path()); }
    std::string file(const std::string& name) const { return read_file(dir_.file(name)); }
    void write(const std::string& name, const std::string& content) const { write_file(dir_.file(name), content); }
    const fs::path& path() const { return dir_.path(); }

private:
    TempDir dir_;
};

std::vector<std::string> words_with(std::vector<std::string> more) {
    std::vector<std::string> words = base_words;
    words.insert(words.end(), more.begin(), more.end());
    return words;
}

TEST(BadInputTest, CrlfFilesGiveTheSameOutputAsLfFiles) {
    const RunDirectory lf, crlf("\r\n");
    const auto words = words_with({"-t", "tags.txt"});
    ASSERT_EQ(lf.run(words).status, 0);
    const ProgramRun run = crlf.run(words);
    ASSERT_EQ(run.status, 0) << run.out;
    for (const char* name : {"run.controls.haps", "run.cases.haps", "run.legend", "run.controls.gen", "run.cases.gen",
                             "run.controls.tags.gen", "run.cases.tags.gen", "run.controls.sample",
                             "run.cases.sample"})
        EXPECT_EQ(crlf.file(name), lf.file(name)) << name;
    EXPECT_EQ(crlf.file("run.legend"), "rs pos X0 X1\nrs1 1000 A G\nrs2 2000 C T\nrs3 3000 G A\nrs4 4000 T C\n");
}

TEST(BadInputTest, IntervalWithOneSnp) {
    const RunDirectory dir;
    const ProgramRun run = dir.run(words_with({"-int", "2000", "2000", "-n", "3", "2", "-t", "tags.txt"}));
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("number of SNPs in interval: 1\n"), std::string::npos);
    EXPECT_EQ(dir.file("run.legend"), "rs pos X0 X1\nrs2 2000 C T\n");
    EXPECT_TRUE(std::regex_match(dir.file("run.controls.haps"), std::regex("([01] ){6}\n")));
    EXPECT_TRUE(std::regex_match(dir.file("run.cases.haps"), std::regex("([01] ){4}\n")));
    const std::regex genotype_line("snp_0 rs2 2000 C T( (1 0 0|0 1 0|0 0 1)){3}\n");
    EXPECT_TRUE(std::regex_match(dir.file("run.controls.gen"), genotype_line));
    EXPECT_TRUE(std::regex_match(dir.file("run.controls.tags.gen"), genotype_line));
    EXPECT_EQ(dir.file("run.cases.sample"), "ID_1 ID_2 missing pheno\n0 0 0 B\nid1_3 id2_3 0 1\nid1_4 id2_4 0 1\n");
}

TEST(BadInputTest, LongLinesAndBigFiles) {
    const RunDirectory dir;
    // A map of 200000 points whose header and first line are a megabyte long.
    std::string map = std::string(1 << 20, 'h') + "\n1000 1 0 " + std::string(1 << 20, 'x') + "\n";
    for (int k = 1; k < 200000; ++k) map += std::to_string(1000 + k) + " 1 " + std::to_string(k * 1e-5) + "\n";
    dir.write("map.txt", map);
    // 20000 panel haplotypes, and an identifier of 100000 characters.
    std::string haps;
    for (int snp = 0; snp < 3; ++snp) {
        for (int h = 0; h < 20000; ++h) haps += (h + snp) % 3 == 0 ? "1 " : "0 ";
        haps += "\n";
    }
    dir.write("panel.haps", haps);
    const std::string long_id(100000, 'r');
    dir.write("panel.legend", "rs pos a0 a1\n" + long_id + " 1000 A G\nrs2 2000 C T\nrs3 3000 G A\n");

    const ProgramRun run = dir.run(base_words);
    ASSERT_EQ(run.status, 0) << run.out.substr(0, 2000);
    EXPECT_NE(run.out.find("number of rates read: 200000\n"), std::string::npos);
    EXPECT_NE(run.out.find("number of haplotypes: 20000\n"), std::string::npos);
    EXPECT_EQ(dir.file("run.legend"), "rs pos X0 X1\n" + long_id + " 1000 A G\nrs2 2000 C T\nrs3 3000 G A\n");
    EXPECT_TRUE(lines_match(dir.file("run.cases.haps"), std::regex("([01] ){4}"), 3));
}

// A panel of 1500 polymorphic SNPs, each of them a disease locus.
class ThousandsOfLoci : public testing::Test {
protected:
    ThousandsOfLoci() {
        std::string haps, legend = "rs pos a0 a1\n";
        for (int snp = 0; snp < loci; ++snp) {
            for (int h = 0; h < 20; ++h) haps += (h * 7 + snp * 3) % 5 < 2 ? "1 " : "0 ";
            haps += "\n";
            legend += "rs" + std::to_string(snp) + " " + std::to_string(position(snp)) + " A G\n";
        }
        dir_.write("panel.haps", haps);
        dir_.write("panel.legend", legend);
    }

    static int position(int snp) { return 1000 + 10 * snp; }

    std::vector<std::string> words(const std::string& rr1, const std::string& rr2) const {
        std::vector<std::string> all = {"-h", "panel.haps", "-l", "panel.legend", "-m", "map.txt", "-o", "run",
                                        "-n", "3",          "3",  "-nrs",         "-dl"};
        for (int snp = 0; snp < loci; ++snp) all.insert(all.end(), {std::to_string(position(snp)), "1", rr1, rr2});
        return all;
    }

    static constexpr int loci = 1500;
    RunDirectory dir_;
};

TEST_F(ThousandsOfLoci, TableTooLargeForTheMachineIsRefused) {
    // 50 cM over the panel: the loci fall into hundreds of segments.
    dir_.write("map.txt", "position rate cM\n1000 1 0\n20000 1 50\n");
    const ProgramRun run = dir_.run(words("1.5", "2"));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(ends_with_error(run.out,
                                "Error encountered, program terminated: the case model's table of disease-allele "
                                "pairs for these disease loci is larger than this machine's memory; use fewer "
                                "disease loci.\n"))
        << run.out.substr(run.out.size() - std::min<std::size_t>(run.out.size(), 2000));
    EXPECT_FALSE(fs::exists(dir_.path() / "run.controls.haps"));
}

TEST_F(ThousandsOfLoci, OneSegmentIsSimulated) {
    // No recombination: every strand copies one haplotype over all the loci.
    dir_.write("map.txt", "position rate cM\n1000 1 0\n20000 1 0\n");
    const ProgramRun run = dir_.run(words("1.1", "1.2"));
    ASSERT_EQ(run.status, 0) << run.out.substr(run.out.size() - std::min<std::size_t>(run.out.size(), 2000));
    EXPECT_TRUE(lines_match(dir_.file("run.cases.haps"), std::regex("([01] ){6}"), loci));
}

// The console as a file on a full disk: the run cannot report its transcript.
int run_into_full_console(const RunDirectory& dir, const std::vector<std::string>& words, std::string& err) {
    std::string command = "cd '" + dir.path().string() + "' && '" + VORLAN2_BINARY + "'";
    for (const auto& word : words) command += " '" + word + "'";
    command += " >/dev/full 2>console.err";
    const int status = std::system(command.c_str());
    err = dir.file("console.err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(BadInputTest, FullConsoleFailsTheRun) {
    const RunDirectory dir;
    std::string err;
    EXPECT_EQ(run_into_full_console(dir, base_words, err), 1);
    EXPECT_EQ(err, "Error: can't write standard output.\n");
    EXPECT_TRUE(std::regex_search(dir.file("run.summary"), elapsed_end));
    EXPECT_EQ(run_into_full_console(dir, {"-help"}, err), 1);
    EXPECT_EQ(err, "Error: can't write standard output.\n");
}

}  // namespace
