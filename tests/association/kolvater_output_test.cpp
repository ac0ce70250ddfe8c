// The results table of the per-SNP tester: its exact text, plain and gzip,
// and a file that cannot be opened.
#include "association/kolvater.h"

#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "common/exceptions.h"
#include "support/test_files.h"

namespace {

using single_snp_test::Kolvater;

const std::string header =
    "pos rsid controls_maf cases_maf controls_AA controls_AB controls_BB cases_AA cases_AB cases_BB beta_0_mle "
    "beta_1_mle frequentist_add_pvalue max_likelihood chisq_stat\n";

std::string written(const Kolvater& k, const std::string& path) {
    testing::internal::CaptureStdout();
    k.output_results(path);
    return testing::internal::GetCapturedStdout();
}

TEST(KolvaterOutput, WritesOneLinePerRecordInPositionOrder) {
    Kolvater k;
    Kolvater::snp_summary untested;
    untested.rsid = "rs9";
    untested.controls_freq = 0.25;
    untested.cases_freq = std::numeric_limits<double>::quiet_NaN();
    untested.controls_genotype_counts = {3, 2, 0};
    Kolvater::snp_summary tested;
    tested.rsid = "rs1";
    tested.controls_freq = 1.0 / 3.0;
    tested.cases_freq = 0.5;
    tested.controls_genotype_counts = {10, 8, 2};
    tested.cases_genotype_counts = {6, 8, 6};
    tested.beta_0_mle = -0.693147180559945;
    tested.beta_1_mle = 1234567.0;
    tested.se_beta_0 = 11.0;  // the standard errors are not written
    tested.se_beta_1 = 12.0;
    tested.pvalue = 1.5e-9;
    tested.max_likelihood = -27.0;
    tested.chisq_stat = 36.9;
    k.results = {{700, untested}, {52, tested}};

    TempDir dir;
    const std::string path = dir.file("results.txt");
    EXPECT_EQ(written(k, path), "writing output file " + path + "\n\n");
    EXPECT_EQ(read_file(path), header +
                                   "52 rs1 0.333333 0.5 10 8 2 6 8 6 -0.693147 1.23457e+06 1.5e-09 -27 36.9\n"
                                   "700 rs9 0.25 nan 3 2 0 0 0 0 -1 -1 -1 -1 -1\n");
}

TEST(KolvaterOutput, TableOfATestedDataSet) {
    // Four controls, then four cases; SNP 0 carries allele 1 everywhere,
    // SNP 1 nowhere, SNP 2 only in cases.
    Kolvater k;
    k.haplotypes = {{1, 0, 0, 0}, {1, 0, 0, 0}, {1, 0, 0, 1}, {1, 0, 0, 0}, {1, 0, 0, 0}, {1, 0, 0, 1},
                    {1, 0, 0, 1}, {1, 0, 0, 1}, {1, 0, 1, 0}, {1, 0, 0, 1}, {1, 0, 1, 1}, {1, 0, 1, 1},
                    {1, 0, 0, 1}, {1, 0, 0, 1}, {1, 0, 1, 0}, {1, 0, 0, 0}};
    k.phenotypes = {0, 0, 0, 0, 1, 1, 1, 1};
    k.rs_ids = {{1000, "rsA"}, {2000, "rsB"}, {3500, "rsC"}, {4200, "rsD"}};
    testing::internal::CaptureStdout();
    k.runtests();
    testing::internal::GetCapturedStdout();

    TempDir dir;
    const std::string path = dir.file("tested.txt");
    written(k, path);
    // Fitted columns: R, Newton-Raphson from zero until the score's sum of
    // squares is at most 1e-5, printed with sprintf("%.6g"). SNP 2 carries
    // allele 1 only in cases: no estimate exists.
    EXPECT_EQ(read_file(path), header +
                                   "1000 rsA 1 1 0 0 4 0 0 4 -1 -1 -1 -1 -1\n"
                                   "2000 rsB 0 0 4 0 0 4 0 0 -1 -1 -1 -1 -1\n"
                                   "3500 rsC 0 0.5 4 0 0 1 2 1 -1 -1 -1 -1 -1\n"
                                   "4200 rsD 0.5 0.625 1 2 1 1 1 2 -0.468919 0.416263 0.649431 -5.44187 0.206618\n");
}

TEST(KolvaterOutput, GzipNameGivesACompressedTable) {
    Kolvater k;
    k.results[5].rsid = "rs5";
    TempDir dir;
    const std::string path = dir.file("results.txt.gz");
    EXPECT_EQ(written(k, path), "writing output file " + path + " (in gzip mode) \n\n");
    EXPECT_EQ(read_gzip_file(path), header + "5 rs5 0 0 0 0 0 0 0 0 -1 -1 -1 -1 -1\n");
}

TEST(KolvaterOutput, NoRecordsGiveTheHeaderOnly) {
    TempDir dir;
    const std::string path = dir.file("empty.txt");
    written(Kolvater{}, path);
    EXPECT_EQ(read_file(path), header);
}

TEST(KolvaterOutput, UnopenableFileRaisesBadfilenameAndPrintsNothing) {
    TempDir dir;
    const std::string path = dir.file("missing/results.txt");
    testing::internal::CaptureStdout();
    try {
        Kolvater{}.output_results(path);
        ADD_FAILURE() << "no exception";
    } catch (const badfilename& e) {
        EXPECT_EQ(e.message, "Error reading file " + path + ": can't open file (No such file or directory).");
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace
