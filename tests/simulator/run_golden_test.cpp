// Fixed-seed runs whose every output file, the transcript included, must stay
// byte for byte what it was: the guard of every change to the simulation and
// the writers. VORLAN2_UPDATE_GOLDEN=1 rewrites the expected files (only
// when a change of output is intended). Compressed files are kept there
// decompressed, under their own names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "simulator/support/program_run.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;

const fs::path golden_dir = fs::path(VORLAN2_SOURCE_DIR) / "tests" / "simulator" / "golden";

struct GoldenCase {
    std::string name;
    std::vector<std::string> words;
    std::string output = "run";
};

std::vector<GoldenCase> golden_cases() {
    const std::vector<std::string> two_loci = {"-dl", "30000", "1", "2", "4", "48193", "0", "1.5", "3"};
    auto with = [](std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    return {
        {"controls_only", {"-m", "panel.map", "-n", "6", "0", "-dl", "30000", "1", "2", "4", "-t", "panel.tags"}},
        {"cases", with({"-m", "panel.map", "-n", "4", "6", "-t", "panel.tags", "-output_snp_summary"}, two_loci)},
        {"cases_gzip", with({"-m", "panel.map", "-n", "4", "6", "-t", "panel.tags", "-output_snp_summary"}, two_loci),
         "run.gz"},
        {"repeated_map", {"-m", "panel_repeated.map", "-n", "3", "3", "-dl", "30000", "1", "2", "4", "-theta", "0.01"}},
        {"unsorted_map", with({"-m", "panel_unsorted.map", "-n", "3", "3"}, two_loci)},
        {"one_snp", {"-m", "panel.map", "-int", "30000", "30000", "-n", "2", "2", "-dl", "30000", "1", "2", "4"}},
        {"no_haps_no_gens",
         with({"-m", "panel.map", "-n", "2", "3", "-no_haps_output", "-no_gens_output", "-t", "panel.tags"}, two_loci)},
    };
}

// The transcript without what differs between machines: the program's path
// and the elapsed seconds.
std::string stable_transcript(const std::string& text) {
    static const std::regex program("Command line input is:\n[^ ]+ ");
    static const std::regex elapsed("VORLAN took [0-9.e+]+ seconds");
    return std::regex_replace(std::regex_replace(text, program, "Command line input is:\nvorlan2 "), elapsed,
                              "VORLAN took N seconds");
}

// The content of an output file, decompressed when it is gzip.
std::string content(const fs::path& file) {
    if (file.extension() == ".gz") return read_gzip_file(file.string());
    const std::string text = read_file(file.string());
    return file.extension() == ".summary" ? stable_transcript(text) : text;
}

class GoldenRunTest : public testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenRunTest, OutputFilesAreUnchanged) {
    const GoldenCase& c = GetParam();
    TempDir dir;
    for (const std::string name :
         {"panel.haps", "panel.legend", "panel.map", "panel_repeated.map", "panel_unsorted.map", "panel.tags"})
        fs::copy_file(golden_dir / name, dir.path() / name);
    std::vector<std::string> words = {"-h", "panel.haps", "-l", "panel.legend", "-o", c.output, "-nrs"};
    words.insert(words.end(), c.words.begin(), c.words.end());
    const ProgramRun result = run_vorlan2_program(words, dir.path());
    ASSERT_EQ(result.status, 0) << result.out;

    const fs::path expected_dir = golden_dir / c.name;
    std::vector<fs::path> produced;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        if (entry.path().filename().string().rfind("run.", 0) == 0) produced.push_back(entry.path());
    std::sort(produced.begin(), produced.end());

    if (std::getenv("VORLAN2_UPDATE_GOLDEN") != nullptr) {
        fs::remove_all(expected_dir);
        fs::create_directories(expected_dir);
        for (const auto& file : produced) write_file((expected_dir / file.filename()).string(), content(file));
        GTEST_SKIP() << "golden files of " << c.name << " rewritten";
    }

    std::vector<std::string> expected_names, produced_names;
    for (const auto& entry : fs::directory_iterator(expected_dir)) expected_names.push_back(entry.path().filename());
    for (const auto& file : produced) produced_names.push_back(file.filename());
    std::sort(expected_names.begin(), expected_names.end());
    EXPECT_EQ(produced_names, expected_names);
    for (const auto& file : produced) {
        if (!fs::exists(expected_dir / file.filename())) continue;
        EXPECT_EQ(content(file), read_file((expected_dir / file.filename()).string())) << c.name << ": " << file;
    }
}

INSTANTIATE_TEST_SUITE_P(FixedSeedRuns, GoldenRunTest, testing::ValuesIn(golden_cases()),
                         [](const testing::TestParamInfo<GoldenCase>& info) { return info.param.name; });

// The compressed run writes the plain run's bytes.
TEST(GoldenRunTest, GzipRunHoldsThePlainRunsContent) {
    for (const std::string name : {"run.controls.haps", "run.cases.haps", "run.controls.gen", "run.cases.gen",
                                   "run.controls.tags.gen", "run.cases.tags.gen"})
        EXPECT_EQ(read_file((golden_dir / "cases_gzip" / (name + ".gz")).string()),
                  read_file((golden_dir / "cases" / name).string()))
            << name;
}

}  // namespace
