// Logistic-regression fit and likelihood-ratio test against an independent
// fit, separated data, and the fits that cannot be computed.
#include "association/single_snp_test.h"

#include <cmath>
#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <newmat.h>

#include "association/support/genotype_fixture.h"

namespace {

using single_snp_test::FitStatus;

// 40 individuals, 14 cases, four SNPs; SNP 3 is associated with the phenotype.
const std::string individuals =
    "1110,0011 1000,0111 0000,0000 0010,1000 0010,0001 1100,0001 1101,0010 0000,0000 0101,0111 1000,0010 "
    "0000,1000 0000,0000 1010,0010 0001,1101 1011,1110 0000,1010 0011,1001 0010,0110 0001,1010 1011,1000 "
    "0010,0100 1011,1000 1011,1110 0001,1000 1000,1001 1111,0010 0011,0000 0010,0010 1110,1000 1011,0010 "
    "0000,0100 0000,1000 0000,1000 0110,0111 1110,0000 1011,0001 1101,0010 0100,1100 0010,1010 1010,0011";
const std::string cases = "0000111010000011100101000010000010110001";

struct Reference {
    std::string name;
    std::set<int> snps;
    // The same iteration (Newton-Raphson from zero, stopping once the score's
    // sum of squares is at most 1e-5), run in R 4:
    //   repeat { pi <- plogis(Z %*% b); s <- t(Z) %*% (y - pi);
    //            H <- -t(Z) %*% (Z * as.vector(pi * (1 - pi))); b <- b - solve(H, s);
    //            s <- t(Z) %*% (y - plogis(Z %*% b)); if (sum(s^2) <= 1e-5) break }
    //   se: sqrt(diag(solve(-H at b))); X <- (ll0 - ll) * -2; pchisq(X, df, lower.tail = FALSE)
    std::vector<double> beta;
    std::vector<double> beta_se;
    double max_loglikelihood;
    double statistic;
    double pvalue;
    // The fully converged fit: R 4 glm(y ~ ..., family = binomial,
    // control = glm.control(epsilon = 1e-15, maxit = 100)), summary(fit)$coefficients.
    std::vector<double> glm_beta;
    std::vector<double> glm_beta_se;
};

const std::vector<Reference> references = {
    {"snp0",
     {0},
     {-1.0488015477806822, 0.47569824451517356},
     {0.59586573027705314, 0.52946050474188378},
     -25.484625976809781,
     0.82647916915101405,
     0.36329259373357942,
     {-1.04880173695101, 0.475698376129075},
     {0.59586575113101, 0.529460516680613}},
    {"snp3",
     {3},
     {-1.5996132919211687, 1.3654867879877612},
     {0.58128621198081609, 0.59309851532715785},
     -22.725539542488097,
     6.3446520377943827,
     0.01177357020306281,
     {-1.59970448116719, 1.36556844416967},
     {0.581302151403621, 0.593112238674863}},
    {"snps0to3",
     {0, 1, 2, 3},
     {-1.5526080383489431, 0.18883730535974869, -0.6361448869440216, -0.0079622896903261998, 1.4971120274825342},
     {0.87917608088811994, 0.58631885599653033, 0.6478857024093817, 0.50335186395480358, 0.64551552346382868},
     -22.065878988479007,
     7.6639731458125624,
     0.10469238545031061,
     {-1.55299490139573, 0.188856324864868, -0.636424121873911, -0.00786626005005915, 1.49749213734751},
     {0.879259840562451, 0.586348140661501, 0.647948082491976, 0.503381679297332, 0.645588804170882}},
    // Inserted out of order: the rows still follow ascending SNP index.
    {"snps3and0",
     {3, 0},
     {-1.8303108975131557, 0.28113811367473701, 1.32063491153888},
     {0.76077014829800393, 0.56735537864753416, 0.59585905953190521},
     -22.601927617442065,
     6.5918758878864452,
     0.037033293598863308,
     {-1.83049046260662, 0.28118368236209, 1.32074598939519},
     {0.760803093705938, 0.567365420815618, 0.595877806486326}},
};

// The same iteration in another implementation agrees to rounding.
constexpr double same_iteration = 1e-10;
// A score with a sum of squares of at most 1e-5 leaves the coefficients
// this close to the maximum, given variances below 1.
constexpr double stopping_rule = 4e-3;

class AgainstIndependentFit : public testing::TestWithParam<Reference> {};

TEST_P(AgainstIndependentFit, RunTestGivesCoefficientsErrorsAndPvalue) {
    const Reference& ref = GetParam();
    NEWMAT::Matrix beta;
    NEWMAT::Matrix beta_se;
    double pvalue = 0.0;
    ASSERT_EQ(single_snp_test::run_test(haplotypes_from(individuals), phenotypes_from(cases), ref.snps, beta, beta_se,
                                        pvalue),
              FitStatus::converged);
    ASSERT_EQ(beta.Nrows(), static_cast<int>(ref.beta.size()));
    ASSERT_EQ(beta.Ncols(), 1);
    ASSERT_EQ(beta_se.Nrows(), static_cast<int>(ref.beta.size()));
    ASSERT_EQ(beta_se.Ncols(), 1);
    for (int r = 1; r <= beta.Nrows(); ++r) {
        EXPECT_NEAR(beta(r, 1), ref.beta[r - 1], same_iteration) << "row " << r;
        EXPECT_NEAR(beta_se(r, 1), ref.beta_se[r - 1], same_iteration) << "row " << r;
        EXPECT_NEAR(beta(r, 1), ref.glm_beta[r - 1], stopping_rule) << "row " << r;
        EXPECT_NEAR(beta_se(r, 1), ref.glm_beta_se[r - 1], stopping_rule) << "row " << r;
    }
    EXPECT_NEAR(pvalue, ref.pvalue, same_iteration);
}

TEST_P(AgainstIndependentFit, MaximumAndStatisticMatch) {
    const Reference& ref = GetParam();
    NEWMAT::Matrix mle;
    NEWMAT::Matrix variance;
    double max_ll = 0.0;
    ASSERT_EQ(single_snp_test::maximise_likelihood_snp(haplotypes_from(individuals), phenotypes_from(cases), ref.snps,
                                                       mle, max_ll, variance),
              FitStatus::converged);
    EXPECT_NEAR(max_ll, ref.max_loglikelihood, same_iteration);
    // R: 26 * log(26) + 14 * log(14) - 40 * log(40)
    const double null_ll = -25.8978655613853;
    EXPECT_NEAR(single_snp_test::null_loglikelihood(26, 14), null_ll, 1e-12);
    EXPECT_NEAR((null_ll - max_ll) * (-2), ref.statistic, same_iteration);
    ASSERT_EQ(variance.Nrows(), mle.Nrows());
    ASSERT_EQ(variance.Ncols(), mle.Nrows());
}

INSTANTIATE_TEST_SUITE_P(Fixture, AgainstIndependentFit, testing::ValuesIn(references),
                         [](const testing::TestParamInfo<Reference>& info) { return info.param.name; });

TEST(MaximiseLikelihood, VarianceIsTheFullInverseInformation) {
    NEWMAT::Matrix mle;
    NEWMAT::Matrix variance;
    double max_ll = 0.0;
    ASSERT_EQ(single_snp_test::maximise_likelihood_snp(haplotypes_from(individuals), phenotypes_from(cases), {0, 3},
                                                       mle, max_ll, variance),
              FitStatus::converged);
    // R: the same iteration as above, then solve(t(Z) %*% (Z * as.vector(pi * (1 - pi)))) at b
    const double expected[3][3] = {{0.57877121854136682, -0.27486902681194986, -0.23677971565559247},
                                   {-0.27486902681194986, 0.32189212568028686, -0.042434360659910214},
                                   {-0.23677971565559247, -0.042434360659910214, 0.35504801882624654}};
    for (int j = 0; j < 3; ++j)
        for (int l = 0; l < 3; ++l) EXPECT_NEAR(variance(j + 1, l + 1), expected[j][l], same_iteration);
}

TEST(ModelFunctions, MatchDirectEvaluationAtGivenCoefficients) {
    const auto haplotypes = haplotypes_from(individuals);
    const auto phenotypes = phenotypes_from(cases);
    NEWMAT::Matrix b(3, 1);
    b(1, 1) = -1.0;
    b(2, 1) = 0.5;
    b(3, 1) = 1.0;
    // R: Z <- cbind(1, g0, g3); eta <- Z %*% b; pi <- plogis(eta);
    // sum(eta * y - log(1 + exp(eta))); t(Z) %*% (y - pi); -t(Z) %*% (Z * as.vector(pi * (1 - pi)))
    EXPECT_NEAR(single_snp_test::loglikelihood_function(b, haplotypes, phenotypes, {0, 3}), -25.430770177527069, 1e-12);
    const NEWMAT::Matrix s = single_snp_test::score_function(b, haplotypes, phenotypes, {0, 3});
    ASSERT_EQ(s.Nrows(), 3);
    ASSERT_EQ(s.Ncols(), 1);
    const double score[3] = {-6.7216648499509262, -6.7633092148809801, -3.7474502195904416};
    for (int r = 0; r < 3; ++r) EXPECT_NEAR(s(r + 1, 1), score[r], 1e-12);
    const NEWMAT::Matrix h = single_snp_test::hessian_function(b, haplotypes, phenotypes, {0, 3});
    ASSERT_EQ(h.Nrows(), 3);
    ASSERT_EQ(h.Ncols(), 3);
    const double hessian[3][3] = {{-8.703468732382154, -7.6136329326577057, -5.3711993671283143},
                                  {-7.6136329326577057, -10.079752265072523, -5.211035166852759},
                                  {-5.3711993671283143, -5.211035166852759, -6.6593019460332759}};
    for (int j = 0; j < 3; ++j)
        for (int l = 0; l < 3; ++l) EXPECT_NEAR(h(j + 1, l + 1), hessian[j][l], 1e-12);
    for (int j = 1; j <= 3; ++j)
        for (int l = 1; l <= 3; ++l) EXPECT_EQ(h(j, l), h(l, j)) << "both triangles hold the same value";
}

TEST(ModelFunctions, RefuseCoefficientsThatDoNotFitTheSnpSet) {
    const auto haplotypes = haplotypes_from(individuals);
    const auto phenotypes = phenotypes_from(cases);
    NEWMAT::Matrix b(2, 1);
    b = 0.0;
    EXPECT_THROW(single_snp_test::score_function(b, haplotypes, phenotypes, {0, 3}), std::logic_error);
    NEWMAT::Matrix row(1, 3);
    row = 0.0;
    EXPECT_THROW(single_snp_test::hessian_function(row, haplotypes, phenotypes, {0, 3}), std::logic_error);
    EXPECT_THROW(single_snp_test::loglikelihood_function(b, haplotypes, phenotypes_from("0101"), {0}),
                 std::logic_error);
}

TEST(ModelFunctions, RefuseAlleleCodesOtherThanZeroOrOne) {
    auto haplotypes = haplotypes_from("00,01 01,01 10,00 01,10");
    haplotypes[5][1] = 2;
    NEWMAT::Matrix beta;
    NEWMAT::Matrix beta_se;
    double pvalue = 0.0;
    EXPECT_THROW(static_cast<void>(
                     single_snp_test::run_test(haplotypes, phenotypes_from("0101"), {0, 1}, beta, beta_se, pvalue)),
                 std::logic_error);
}

TEST(RunTest, ReplacesThePreviousSizeOfItsOutputs) {
    NEWMAT::Matrix beta(7, 3);
    NEWMAT::Matrix beta_se(1, 1);
    double pvalue = 0.0;
    ASSERT_EQ(
        single_snp_test::run_test(haplotypes_from(individuals), phenotypes_from(cases), {3}, beta, beta_se, pvalue),
        FitStatus::converged);
    EXPECT_EQ(beta.Nrows(), 2);
    EXPECT_EQ(beta.Ncols(), 1);
    EXPECT_EQ(beta_se.Nrows(), 2);
    EXPECT_EQ(beta_se.Ncols(), 1);
}

TEST(RunTest, NoBetterThanInterceptGivesPvalueOne) {
    // The genotype is balanced between cases and controls, so the slope's
    // maximum is 0 and the statistic is 0 up to rounding.
    NEWMAT::Matrix beta;
    NEWMAT::Matrix beta_se;
    double pvalue = 0.0;
    ASSERT_EQ(single_snp_test::run_test(haplotypes_from("0,0 1,0 0,0 0,1"), phenotypes_from("0011"), {0}, beta, beta_se,
                                        pvalue),
              FitStatus::converged);
    EXPECT_NEAR(beta(2, 1), 0.0, 1e-12);
    EXPECT_EQ(pvalue, 1.0);
}

struct Separated {
    std::string name;
    std::string individuals;
    std::string phenotypes;
    std::set<int> snps;
    // Where the same iteration as above stops, in R 4: the log-likelihood
    // and the p-value of the likelihood-ratio test.
    double reached_loglikelihood;
    double pvalue;
};

const std::vector<Separated> separated = {
    // Every case carries two copies and every control none.
    {"complete", "0,0 0,0 1,1 1,1 0,0 1,1", "001101", {0}, -0.001643645071078411, 0.0039330286501133554},
    // Allele 1 only in cases, among cases with none.
    {"quasiComplete", "0,0 0,0 0,0 0,0 0,0 1,0 1,1 0,1", "00001111", {0}, -2.5035375601902996, 0.013646718099577137},
    // One phenotype only: the null log-likelihood is not a number.
    {"allCases", "0,0 1,0 1,1 0,1", "1111", {0}, -0.00109576338071804, 1.0},
    {"allControls", "0,0 1,0 1,1 0,1", "0000", {0}, -0.0010957633807198411, 1.0},
    // SNP 0 separates quasi-completely; SNP 1 alone does not.
    {"oneSnpSeparatesInsideJoint",
     "00,01 01,00 01,01 00,00 10,01 11,10 10,00 01,11 01,00",
     "000011111",
     {0, 1},
     -2.5026921055132898,
     0.025223931211137123},
    // Controls (0,0) (1,0) (0,1), cases (1,1) (2,0) (0,2): neither SNP
    // separates alone, their sum does.
    {"jointlyComplete",
     "00,00 10,00 01,00 11,00 10,10 01,01",
     "000111",
     {0, 1},
     -0.0083266489865626916,
     0.015755647061680807},
};

class SeparatedFit : public testing::TestWithParam<Separated> {};

TEST_P(SeparatedFit, HasNoEstimatesButItsPvalue) {
    const Separated& c = GetParam();
    const auto haplotypes = haplotypes_from(c.individuals);
    const auto phenotypes = phenotypes_from(c.phenotypes);
    const int rows = static_cast<int>(c.snps.size()) + 1;
    NEWMAT::Matrix beta(1, 1);
    NEWMAT::Matrix beta_se(1, 1);
    double pvalue = 0.0;
    ASSERT_EQ(single_snp_test::run_test(haplotypes, phenotypes, c.snps, beta, beta_se, pvalue), FitStatus::separated);
    ASSERT_EQ(beta.Nrows(), rows);
    ASSERT_EQ(beta_se.Nrows(), rows);
    for (int r = 1; r <= rows; ++r) {
        EXPECT_TRUE(std::isnan(beta(r, 1))) << "row " << r;
        EXPECT_TRUE(std::isnan(beta_se(r, 1))) << "row " << r;
    }
    EXPECT_NEAR(pvalue, c.pvalue, 1e-10);

    NEWMAT::Matrix mle;
    NEWMAT::Matrix variance;
    double reached = 0.0;
    ASSERT_EQ(single_snp_test::maximise_likelihood_snp(haplotypes, phenotypes, c.snps, mle, reached, variance),
              FitStatus::separated);
    ASSERT_EQ(mle.Nrows(), rows);
    ASSERT_EQ(variance.Nrows(), rows);
    EXPECT_TRUE(std::isnan(mle(rows, 1)));
    EXPECT_TRUE(std::isnan(variance(rows, rows)));
    EXPECT_NEAR(reached, c.reached_loglikelihood, 1e-10);
}

INSTANTIATE_TEST_SUITE_P(Designs, SeparatedFit, testing::ValuesIn(separated),
                         [](const testing::TestParamInfo<Separated>& info) { return info.param.name; });

struct NearlySeparated {
    std::string name;
    std::string individuals;
    std::string phenotypes;
    std::set<int> snps;
    // The same iteration as above, in R 4.
    std::vector<double> beta;
    std::vector<double> beta_se;
    double pvalue;
    // R 4 glm(y ~ G, family = binomial, control = glm.control(epsilon =
    // 1e-15, maxit = 100)), summary(fit)$coefficients; the stopping rule
    // leaves the iteration within (largest variance) * sqrt(1e-5) of it.
    std::vector<double> glm_beta;
    std::vector<double> glm_beta_se;
    double glm_tolerance;
};

const std::vector<NearlySeparated> nearly_separated = {
    // Controls 0 0 0 0 1, cases 0 1 1 2 2: the groups overlap at 0 and 1.
    {"oneSnp",
     "0,0 0,0 0,0 0,0 1,0 0,0 0,1 1,0 1,1 1,1",
     "0000011111",
     {0},
     {-1.4772184756053632, 2.3913245481379208},
     {1.1154114772009702, 1.4209206147180176},
     0.027525785064967001,
     {-1.47722699885965, 2.39135710501955},
     {1.11541558412365, 1.42093552492295},
     7e-3},
    // Controls (0,0) (1,0) (0,1) (1,1), cases (1,1) (2,0) (0,2) (1,0): the
    // sum of the genotypes separates except at (1,0) and (1,1).
    {"twoSnps",
     "00,00 10,00 01,00 11,00 11,00 10,10 01,01 10,00",
     "00001111",
     {0, 1},
     {-3.1406673079277114, 2.5384410372969093, 1.8210354165283502},
     {2.5516554904701443, 1.9646964020651718, 1.5667842246092656},
     0.235664506561297,
     {-3.14631998025528, 2.5429596340708, 1.82366187865611},
     {2.55445418819217, 1.96708252667798, 1.56783558294468},
     2.1e-2},
};

class NearlySeparatedFit : public testing::TestWithParam<NearlySeparated> {};

TEST_P(NearlySeparatedFit, IsEstimated) {
    const NearlySeparated& c = GetParam();
    NEWMAT::Matrix beta;
    NEWMAT::Matrix beta_se;
    double pvalue = 0.0;
    ASSERT_EQ(single_snp_test::run_test(haplotypes_from(c.individuals), phenotypes_from(c.phenotypes), c.snps, beta,
                                        beta_se, pvalue),
              FitStatus::converged);
    ASSERT_EQ(beta.Nrows(), static_cast<int>(c.beta.size()));
    for (int r = 1; r <= beta.Nrows(); ++r) {
        EXPECT_NEAR(beta(r, 1), c.beta[r - 1], same_iteration) << "row " << r;
        EXPECT_NEAR(beta_se(r, 1), c.beta_se[r - 1], same_iteration) << "row " << r;
        EXPECT_NEAR(beta(r, 1), c.glm_beta[r - 1], c.glm_tolerance) << "row " << r;
        EXPECT_NEAR(beta_se(r, 1), c.glm_beta_se[r - 1], c.glm_tolerance) << "row " << r;
    }
    EXPECT_NEAR(pvalue, c.pvalue, same_iteration);
}

INSTANTIATE_TEST_SUITE_P(Designs, NearlySeparatedFit, testing::ValuesIn(nearly_separated),
                         [](const testing::TestParamInfo<NearlySeparated>& info) { return info.param.name; });

TEST(LikelihoodRatioPvalue, IsTheUpperChiSquaredTail) {
    // R: pchisq(3.841458820694124, 1, lower.tail = FALSE); df = 2 tail is exp(-x / 2).
    EXPECT_NEAR(single_snp_test::likelihood_ratio_pvalue(3.841458820694124, 1), 0.05, 1e-14);
    EXPECT_NEAR(single_snp_test::likelihood_ratio_pvalue(2 * std::log(20.0), 2), 0.05, 1e-14);
    EXPECT_EQ(single_snp_test::likelihood_ratio_pvalue(0.0, 1), 1.0);
    EXPECT_EQ(single_snp_test::likelihood_ratio_pvalue(-1e-12, 1), 1.0);
    EXPECT_EQ(single_snp_test::likelihood_ratio_pvalue(std::nan(""), 1), 1.0);
}

struct Uncomputable {
    std::string name;
    std::string individuals;
    std::string phenotypes;
    std::set<int> snps;
    FitStatus status;
};

const std::vector<Uncomputable> uncomputable = {
    {"snpAlways0", "00,01 01,01 00,00 01,00 00,01", "01101", {0}, FitStatus::singular},
    {"snpAlways1", "10,01 01,10 10,01 01,11 11,00", "01101", {0}, FitStatus::singular},
    {"snpAlways2", "10,11 11,10 11,11 11,10 10,10", "01101", {0}, FitStatus::singular},
    {"identicalSnps", "11,00 00,00 11,11 10,01 00,11", "01101", {0, 1}, FitStatus::singular},
    {"complementarySnps", "01,01 10,10 10,01 01,01 10,10", "01101", {0, 1}, FitStatus::singular},
    {"sumOfTwoIsThird", "101,011 000,101 011,000 101,101 011,011", "01101", {0, 1, 2}, FitStatus::singular},
    {"constantAmongOthers", "110,000 010,100 111,101 010,001 011,100", "01101", {0, 1, 2}, FitStatus::singular},
};

class UncomputableFit : public testing::TestWithParam<Uncomputable> {};

TEST_P(UncomputableFit, IsReportedWithNotANumberOutputs) {
    const Uncomputable& c = GetParam();
    NEWMAT::Matrix beta(1, 1);
    NEWMAT::Matrix beta_se(1, 1);
    double pvalue = 0.0;
    EXPECT_EQ(single_snp_test::run_test(haplotypes_from(c.individuals), phenotypes_from(c.phenotypes), c.snps, beta,
                                        beta_se, pvalue),
              c.status);
    const int rows = static_cast<int>(c.snps.size()) + 1;
    ASSERT_EQ(beta.Nrows(), rows);
    ASSERT_EQ(beta_se.Nrows(), rows);
    for (int r = 1; r <= rows; ++r) {
        EXPECT_TRUE(std::isnan(beta(r, 1))) << "row " << r;
        EXPECT_TRUE(std::isnan(beta_se(r, 1))) << "row " << r;
    }
    EXPECT_TRUE(std::isnan(pvalue));
}

TEST(RunTest, NearlyCollinearSnpsAreStillFitted) {
    // 4000 individuals; SNP 1 is a copy of the rare SNP 0 except in two
    // individuals, which is enough to tell the two apart.
    const int n = 4000;
    std::vector<std::vector<std::uint16_t>> haplotypes(2 * n, std::vector<std::uint16_t>(2));
    std::vector<int> phenotypes(n);
    for (int h = 0; h < 2 * n; ++h) haplotypes[h][0] = haplotypes[h][1] = h % 37 == 0;
    for (int i = 0; i < n; ++i) phenotypes[i] = i % 3 == 0;
    NEWMAT::Matrix beta;
    NEWMAT::Matrix beta_se;
    double pvalue = 0.0;
    EXPECT_EQ(single_snp_test::run_test(haplotypes, phenotypes, {0, 1}, beta, beta_se, pvalue), FitStatus::singular);
    // One case differs (genotypes 1 and 2): the coefficients (0, -1, 1)
    // give it 1 and everyone else 0, so the data are quasi-separated.
    haplotypes[1][1] = 1;
    EXPECT_EQ(single_snp_test::run_test(haplotypes, phenotypes, {0, 1}, beta, beta_se, pvalue), FitStatus::separated);
    // A control differs too (genotypes 0 and 1): no direction favours the
    // case without favouring the control.
    haplotypes[2][1] = 1;
    ASSERT_EQ(phenotypes[1], 0);
    EXPECT_EQ(single_snp_test::run_test(haplotypes, phenotypes, {0, 1}, beta, beta_se, pvalue), FitStatus::converged);
    EXPECT_TRUE(std::isfinite(beta_se(2, 1)) && std::isfinite(beta_se(3, 1)));
}

INSTANTIATE_TEST_SUITE_P(Designs, UncomputableFit, testing::ValuesIn(uncomputable),
                         [](const testing::TestParamInfo<Uncomputable>& info) { return info.param.name; });

}  // namespace
