// Genotype summaries and single-SNP fits of the per-SNP tester.
#include "association/kolvater.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "association/support/genotype_fixture.h"

namespace {

using single_snp_test::Kolvater;

// Four controls, then four cases. SNP 0 carries allele 1 on every haplotype,
// SNP 1 on none, SNP 2 only in cases, SNP 3 in both groups.
Kolvater fixture() {
    Kolvater k;
    k.haplotypes = haplotypes_from("1000,1000 1001,1000 1000,1001 1001,1001 1010,1001 1011,1011 1001,1001 1010,1000");
    k.phenotypes = phenotypes_from("00001111");
    k.rs_ids = {{1000, "rsA"}, {2000, "rsB"}, {3500, "rsC"}, {4200, "rsD"}};
    return k;
}

using Counts = std::array<int, 3>;

TEST(KolvaterSummary, CountsGenotypesAndFrequenciesPerGroup) {
    Kolvater k = fixture();
    k.summarise_snp_data();
    ASSERT_EQ(k.results.size(), 4u);
    const auto& a = k.results.at(1000);
    EXPECT_EQ(a.rsid, "rsA");
    EXPECT_EQ(a.controls_genotype_counts, (Counts{0, 0, 4}));
    EXPECT_EQ(a.cases_genotype_counts, (Counts{0, 0, 4}));
    EXPECT_EQ(a.controls_freq, 1.0);
    EXPECT_EQ(a.cases_freq, 1.0);
    const auto& c = k.results.at(3500);
    EXPECT_EQ(c.rsid, "rsC");
    EXPECT_EQ(c.controls_genotype_counts, (Counts{4, 0, 0}));
    EXPECT_EQ(c.cases_genotype_counts, (Counts{1, 2, 1}));
    EXPECT_EQ(c.controls_freq, 0.0);
    EXPECT_EQ(c.cases_freq, 0.5);
    const auto& d = k.results.at(4200);
    EXPECT_EQ(d.controls_genotype_counts, (Counts{1, 2, 1}));
    EXPECT_EQ(d.cases_genotype_counts, (Counts{1, 1, 2}));
    EXPECT_EQ(d.controls_freq, 0.5);
    EXPECT_EQ(d.cases_freq, 0.625);
    for (const auto& [position, s] : k.results) EXPECT_EQ(s.pvalue, -1.0) << position;
}

TEST(KolvaterSummary, KeepsARecordThatIsAlreadyThere) {
    Kolvater k = fixture();
    k.results[2000].rsid = "kept";
    k.summarise_snp_data();
    EXPECT_EQ(k.results.at(2000).rsid, "kept");
    EXPECT_EQ(k.results.at(2000).controls_genotype_counts, (Counts{0, 0, 0}));
}

TEST(KolvaterSummary, AnEmptyGroupHasNoFrequency) {
    Kolvater k = fixture();
    k.phenotypes = phenotypes_from("11111111");
    k.runtests();
    for (const auto& [position, s] : k.results) {
        EXPECT_TRUE(std::isnan(s.controls_freq)) << position;
        EXPECT_EQ(s.pvalue, -1.0) << position;
    }
}

TEST(KolvaterSummary, RefusesAlleleCodesOtherThanZeroOrOne) {
    // A code of 2 beside a 1 would count a genotype of 3 copies, past the
    // end of the counts.
    Kolvater k = fixture();
    k.haplotypes[9][2] = 2;
    EXPECT_THROW(k.summarise_snp_data(), std::logic_error);
}

TEST(KolvaterSummary, NoHaplotypesGiveNoRecords) {
    Kolvater k;
    k.summarise_snp_data();
    EXPECT_TRUE(k.results.empty());
}

TEST(KolvaterTests, FitsEveryVaryingSnpAndMarksTheOthers) {
    Kolvater k = fixture();
    testing::internal::CaptureStdout();
    k.runtests();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Running frequentist single SNP tests\n\n");

    // SNPs 0 and 1 do not vary; SNP 2 (allele 1 only in cases) separates
    // cases from controls, so no estimate exists.
    for (const int untested : {1000, 2000, 3500}) {
        const auto& s = k.results.at(untested);
        for (const double v :
             {s.beta_0_mle, s.beta_1_mle, s.se_beta_0, s.se_beta_1, s.pvalue, s.max_likelihood, s.chisq_stat})
            EXPECT_EQ(v, -1.0) << untested;
    }

    // R: Newton-Raphson from zero, stopping once the score's sum of squares is
    // at most 1e-5, on y <- c(0,0,0,0,1,1,1,1) and the genotypes of the SNP;
    // ll0 <- 8 * log(4) - 8 * log(8); X <- (ll0 - ll) * -2; pchisq(X, 1, lower.tail = FALSE).
    struct Fit {
        int position;
        double beta_0, beta_1, se_0, se_1, pvalue, max_ll, statistic;
    };
    const Fit fits[] = {
        {4200, -0.46891884869519446, 0.4162629860773075, 1.2675368546256711, 0.92585281228661276, 0.64943125696999382,
         -5.4418684839859583, 0.20661792098720611},
    };
    for (const Fit& f : fits) {
        const auto& s = k.results.at(f.position);
        EXPECT_NEAR(s.beta_0_mle, f.beta_0, 1e-9) << f.position;
        EXPECT_NEAR(s.beta_1_mle, f.beta_1, 1e-9) << f.position;
        EXPECT_NEAR(s.se_beta_0, f.se_0, 1e-9) << f.position;
        EXPECT_NEAR(s.se_beta_1, f.se_1, 1e-8) << f.position;
        EXPECT_NEAR(s.pvalue, f.pvalue, 1e-11) << f.position;
        EXPECT_NEAR(s.max_likelihood, f.max_ll, 1e-11) << f.position;
        EXPECT_NEAR(s.chisq_stat, f.statistic, 1e-11) << f.position;
    }
}

}  // namespace
