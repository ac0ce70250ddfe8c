// The inputs that users really have, through the whole program: CRLF line
// ends, long lines and big files, an interval of one SNP, thousands of
// disease loci, and a console on a full disk.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "simulator/support/whole_program_cases.h"

namespace {

namespace fs = std::filesystem;
using namespace whole_program;

TEST(RealInputsTest, CrlfFilesGiveTheSameOutputAsLfFiles) {
    const RunDirectory lf, crlf("\r\n");
    const auto words = words_with({"-t", "tags.txt"});
    ASSERT_EQ(lf.run(words).status, 0);
    const ProgramRun run = crlf.run(words);
    ASSERT_EQ(run.status, 0) << run.out;
    for (const char* name : {"run.controls.haps", "run.cases.haps", "run.legend", "run.controls.gen", "run.cases.gen",
                             "run.controls.tags.gen", "run.cases.tags.gen", "run.controls.sample", "run.cases.sample"})
        EXPECT_EQ(crlf.file(name), lf.file(name)) << name;
    EXPECT_EQ(crlf.file("run.legend"), "rs pos X0 X1\nrs1 1000 A G\nrs2 2000 C T\nrs3 3000 G A\nrs4 4000 T C\n");
}

TEST(RealInputsTest, IntervalWithOneSnp) {
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

TEST(RealInputsTest, LongLinesAndBigFiles) {
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
    ASSERT_EQ(run.status, 0) << tail(run.out);
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

TEST_F(ThousandsOfLoci, TablesTooLargeForTheCaseModelAreRefusedBeforeTheWork) {
    // 50 cM over the panel: the loci could fall into 1,500 segments.
    dir_.write("map.txt", "position rate cM\n1000 1 0\n20000 1 50\n");
    const ProgramRun run = dir_.run(words("1.5", "2"));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(ends_with_error(run.out,
                                "Error encountered, program terminated: the case model's tables for these 1500 "
                                "disease loci would need more than 2^64 bytes, more than the 256 MB it may hold; use "
                                "fewer disease loci.\n"))
        << tail(run.out);
    EXPECT_EQ(run.out.find("Simulating haplotypes"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir_.path() / "run.controls.haps"));
}

TEST_F(ThousandsOfLoci, OneSegmentIsSimulated) {
    // No recombination: every strand copies one haplotype over all the loci.
    dir_.write("map.txt", "position rate cM\n1000 1 0\n20000 1 0\n");
    const ProgramRun run = dir_.run(words("1.1", "1.2"));
    ASSERT_EQ(run.status, 0) << tail(run.out);
    EXPECT_TRUE(lines_match(dir_.file("run.cases.haps"), std::regex("([01] ){6}"), loci));
}

TEST_F(ThousandsOfLoci, RiskWeightsBeyondTheDoubleRangeAreRefused) {
    // One segment, but the product of the risks over 1500 loci overflows.
    dir_.write("map.txt", "position rate cM\n1000 1 0\n20000 1 0\n");
    const ProgramRun run = dir_.run(words("4", "16"));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(ends_with_error(run.out,
                                "Error encountered, program terminated: the relative risks give the disease-allele "
                                "pairs of a case a total weight of inf; it must be finite and positive.\n"))
        << tail(run.out);
    EXPECT_FALSE(fs::exists(dir_.path() / "run.controls.haps"));
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

TEST(RealInputsTest, FullConsoleFailsTheRun) {
    const RunDirectory dir;
    std::string err;
    const std::string message = "Error: can't write standard output: No space left on device.";
    EXPECT_EQ(run_into_full_console(dir, base_words, err), 1);
    EXPECT_EQ(err, message + "\n");
    // The run stops at once, and its summary says why.
    EXPECT_TRUE(ends_with_error(dir.file("run.summary"), message));
    EXPECT_FALSE(fs::exists(dir.path() / "run.controls.haps"));
    EXPECT_EQ(run_into_full_console(dir, {"-help"}, err), 1);
    EXPECT_EQ(err, message + "\n");
}

}  // namespace
