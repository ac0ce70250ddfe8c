// Fixed-seed runs small enough to work out by hand. With "-nrs" the draws
// are MT19937 seeded with 530213712 (0.12345 * 2^32); as (y + 0.5) / 2^32
// they begin 0.8638077, 0.2031887, 0.6419120, 0.0098852, 0.9803354,
// 0.3431210, 0.7204753, 0.7870201 (an independent MT19937 in Python gives
// the same). The panel is two haplotypes, "0 1", at one SNP.
#include <gtest/gtest.h>

#include "simulator/support/program_run.h"
#include "support/test_files.h"

namespace {

const std::string sample_header = "ID_1 ID_2 missing pheno\n0 0 0 B\n";

class HandWorkedRunTest : public testing::Test {
protected:
    HandWorkedRunTest() {
        write_file(dir_.file("map.txt"), "position rate cM\n0 0 0\n2000 0 1\n");
        write_file(dir_.file("panel.haps"), "0 1\n");
        write_file(dir_.file("panel.legend"), "rs pos a0 a1\nrs1 1000 A G\n");
    }

    void run(std::vector<std::string> extra, const std::string& out = "run") {
        std::vector<std::string> words = {"-h", "panel.haps", "-l",  "panel.legend", "-m", "map.txt", "-o",
                                          out,  "-nrs",       "-dl", "1000",         "1",  "1",       "1"};
        words.insert(words.end(), extra.begin(), extra.end());
        const ProgramRun result = run_vorlan2_program(words, dir_.path());
        ASSERT_EQ(result.status, 0) << result.out;
    }

    std::string file(const std::string& name) const { return read_file(dir_.file(name)); }

    TempDir dir_;
};

// One control, no mutation. Strand 0 has K = 2 candidates: 0.8638 - 1/2 > 0,
// so candidate 1 (allele 1). Strand 1 has K = 3: 0.2032 - 1/3 <= 0, so
// candidate 0 (allele 0). Two allele draws follow; theta 0 flips nothing.
TEST_F(HandWorkedRunTest, OneControlCopiesPanelHaplotypes) {
    run({"-n", "1", "0", "-theta", "0"});
    EXPECT_EQ(file("run.controls.haps"), "1 0 \n");
    EXPECT_EQ(file("run.cases.haps"), "\n");
    EXPECT_EQ(file("run.legend"), "rs pos X0 X1\nrs1 1000 A G\n");
    EXPECT_EQ(file("run.controls.gen"), "snp_0 rs1 1000 A G 0 1 0\n");
    EXPECT_EQ(file("run.cases.gen"), "snp_0 rs1 1000 A G\n");
    EXPECT_EQ(file("run.controls.sample"), sample_header + "id1_0 id2_0 0 0\n");
    EXPECT_EQ(file("run.cases.sample"), sample_header);
}

// theta 2: mu = 0.5 * 2 / (2 + 2) = 0.25 on strand 0 and 0.5 * 2 / (3 + 2) =
// 0.2 on strand 1. The allele draws 0.6419 (not below 0.25: kept) and 0.0099
// (below 0.2: flipped from 0 to 1).
TEST_F(HandWorkedRunTest, MutationFlipsWhenTheDrawIsBelowTheRate) {
    run({"-n", "1", "0", "-theta", "2"});
    EXPECT_EQ(file("run.controls.haps"), "1 1 \n");
    EXPECT_EQ(file("run.controls.gen"), "snp_0 rs1 1000 A G 0 0 1\n");
}

// The second control has K = 4 and 5 candidates. 0.9803 passes three
// weights of 1/4 and ends at candidate 3 (simulated haplotype 1, allele 0);
// 0.3431 - 0.2 - 0.2 <= 0 gives candidate 1 (panel haplotype 1, allele 1).
TEST_F(HandWorkedRunTest, SecondControlCopiesEarlierSimulatedHaplotypes) {
    run({"-n", "2", "0", "-theta", "0"});
    EXPECT_EQ(file("run.controls.haps"), "1 0 0 1 \n");
    EXPECT_EQ(file("run.controls.gen"), "snp_0 rs1 1000 A G 0 1 0 0 1 0\n");
    EXPECT_EQ(file("run.controls.sample"), sample_header + "id1_0 id2_0 0 0\nid1_1 id2_1 0 0\n");
}

// A case after the control of the first test. The disease SNP is the only
// SNP, so both strands are disease segments: no switch, copy or allele draw.
// Control frequencies over panel and control haplotypes (0, 1, 1, 0) are
// 0.5 and 0.5; with all risks 1 the pair keys are 0.25, 0.5, 0.75, 1. The
// draw 0.9803 takes the pair (1, 1). The copy draws 0.3431 and 0.7205 only
// choose the copied candidates; the alleles are the drawn ones.
TEST_F(HandWorkedRunTest, CaseCarriesTheDrawnDiseaseAlleles) {
    run({"-n", "1", "1", "-theta", "0"});
    EXPECT_EQ(file("run.controls.haps"), "1 0 \n");
    EXPECT_EQ(file("run.cases.haps"), "1 1 \n");
    EXPECT_EQ(file("run.cases.gen"), "snp_0 rs1 1000 A G 0 0 1\n");
    EXPECT_EQ(file("run.cases.sample"), sample_header + "id1_1 id2_1 0 1\n");
}

TEST_F(HandWorkedRunTest, GzipNamesCompressTheDataFilesOnly) {
    run({"-n", "1", "1", "-theta", "0"}, "run.gz");
    EXPECT_EQ(read_gzip_file(dir_.file("run.controls.haps.gz")), "1 0 \n");
    EXPECT_EQ(read_gzip_file(dir_.file("run.cases.haps.gz")), "1 1 \n");
    EXPECT_EQ(read_gzip_file(dir_.file("run.controls.gen.gz")), "snp_0 rs1 1000 A G 0 1 0\n");
    EXPECT_EQ(read_gzip_file(dir_.file("run.cases.gen.gz")), "snp_0 rs1 1000 A G 0 0 1\n");
    EXPECT_EQ(file("run.legend"), "rs pos X0 X1\nrs1 1000 A G\n");
    EXPECT_EQ(file("run.cases.sample"), sample_header + "id1_1 id2_1 0 1\n");
    EXPECT_EQ(file("run.gz.summary").find("writing output file run.legend\n") != std::string::npos, true);
}

}  // namespace
