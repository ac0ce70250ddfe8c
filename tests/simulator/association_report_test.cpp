// The association report of fixed-seed runs whose data separate cases from
// controls: effect sizes that do not exist print as "NA", p-values as the
// likelihood-ratio test computes them, and the run finishes.
#include <gtest/gtest.h>

#include "simulator/support/test_files.h"

namespace {

class AssociationReportTest : public testing::Test {
protected:
    AssociationReportTest() {
        write_file(dir_.file("map.txt"), "position rate cM\n1000 1 0\n5000 1 0.01\n");
        write_file(dir_.file("panel.haps"),
                   "0 1 0 1 1 0 0 1\n1 1 0 0 1 0 1 1\n0 0 0 0 1 1 1 1\n1 1 1 1 1 1 1 1\n");
        write_file(dir_.file("panel.legend"),
                   "rs pos a0 a1\nrs1 1000 A G\nrs2 2000 C T\nrs3 3000 G A\nrs4 4000 T C\n");
    }

    // The report of a fixed-seed run, from its first line to the line before
    // the elapsed time.
    std::string report(const std::vector<std::string>& extra) {
        std::vector<std::string> words = {"-h", "panel.haps", "-l", "panel.legend", "-m", "map.txt",
                                          "-o", "run", "-nrs", "-output_snp_summary"};
        words.insert(words.end(), extra.begin(), extra.end());
        const ProgramRun result = run_vorlan2_program(words, dir_.path());
        EXPECT_EQ(result.status, 0) << result.out;
        const auto begin = result.out.find("\n\nThe pvalues");
        const auto end = result.out.find("\nVORLAN took");
        if (begin == std::string::npos || end == std::string::npos || end < begin) return result.out;
        return result.out.substr(begin, end - begin);
    }

    TempDir dir_;
};

TEST_F(AssociationReportTest, SeparatedSnpPrintsNoEffectSize) {
    // Relative risks 0 and 0 at position 2000 (SNP index 1): no case carries
    // allele 1 there, 27 of the 30 controls do. Reference: R 4, the same
    // Newton-Raphson iteration (from zero until the score's sum of squares
    // is at most 1e-5) on the genotypes of run.controls.gen and run.cases.gen:
    // SNP 0 beta -0.160428, se 0.402125, p 0.688568; SNP 1 p 1.99731e-15;
    // both p 1.83243e-14.
    EXPECT_EQ(report({"-n", "30", "30", "-dl", "2000", "1", "0", "0", "1000", "1", "1.5", "3"}),
              "\n\nThe pvalues and effect sizes of each disease SNP is:\n\n"
              "Disease_locus_index           beta        beta_se         pvalue\n"
              "              0            -0.1604         0.4021         0.6886\n"
              "              1                 NA             NA      1.997e-15\n"
              "\n\nThe pvalue for the full disease model is 1.832e-14:\n"
              "Disease_locus_index           beta        beta_se\n"
              "              0                 NA             NA\n"
              "              1                 NA             NA\n");
}

TEST_F(AssociationReportTest, NoControlsPrintNoEffectSizesAndPvalueOne) {
    EXPECT_EQ(report({"-n", "0", "50", "-dl", "2000", "1", "1.5", "3"}),
              "\n\nThe pvalues and effect sizes of each disease SNP is:\n\n"
              "Disease_locus_index           beta        beta_se         pvalue\n"
              "              1                 NA             NA              1\n"
              "\n\nThe pvalue for the full disease model is 1:\n"
              "Disease_locus_index           beta        beta_se\n"
              "              1                 NA             NA\n");
}

}  // namespace
