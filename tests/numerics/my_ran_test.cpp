// Densities, the normal distribution function with fixed tails, and the simple draws on the
// seeded variates.
#include "numerics/my_ran.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "numerics/com.h"
#include "numerics/variates.h"
#include "sampling_checks.h"

namespace {

// Seeds of generator 1 whose next output is 2147483562, so ranf() returns exactly 1.0
// (python: the predecessors of the states s1 = s2 = 12345).
void next_ranf_is_one() {
    setall(1, 1);
    long g = 1;
    gscgn(1, &g);
    setsd(1970861171, 1025136760);
}

}  // namespace

TEST(Densities, MatchR) {
    double mean = 0.5, sd = 2.0;
    // R: dnorm(1.3, 0.5, 2) times sqrt(2 pi) / 2.5066282747946493, the constant used.
    EXPECT_NEAR(dnorm(1.3, &mean, &sd), 0.18413507013964012, 1e-15);
    // R: dgamma(2.5, 3, rate = 1.5), dgamma(0.3, 0.5, rate = 2), exp(-1).
    EXPECT_NEAR(dgamma(2.5, 3.0, 1.5, 0), 0.24803872582509609, 1e-14);
    EXPECT_NEAR(dgamma(2.5, 3.0, 1.5, 1), -1.394170392487142, 1e-13);
    EXPECT_NEAR(dgamma(0.3, 0.5, 2.0, 0), 0.79947105560693332, 1e-14);
    EXPECT_NEAR(dgamma(1.0, 1.0, 1.0, 0), 0.36787944117144233, 1e-16);
    // R: lgamma(sum(a)) - sum(lgamma(a)) + sum((a - 1) * log(x)).
    double x[3] = {0.2, 0.5, 0.3}, alpha[3] = {2, 3.5, 0.7};
    int k = 3;
    EXPECT_NEAR(ddirichlet(x, alpha, &k), 0.68934391642237092, 1e-13);
    k = 0;
    EXPECT_EQ(ddirichlet(x, alpha, &k), std::numeric_limits<double>::infinity());  // lgamma(0)
}

TEST(Pnorm, CentralValuesComeFromTheDistributionFunction) {
    double mean = 0.5, sd = 2.0;
    // R: pnorm(1.3, 0.5, 2) and its upper tail.
    EXPECT_NEAR(pnorm(1.3, &mean, &sd, 0), 0.65542174161032418, 1e-15);
    EXPECT_NEAR(pnorm(1.3, &mean, &sd, 1), 0.34457825838967582, 1e-15);
    double zero = 0.0, one = 1.0;
    // R: pnorm(5), pnorm(-4.9); z = 5 exactly is not yet a fixed tail.
    EXPECT_NEAR(pnorm(5.0, &zero, &one, 0), 0.99999971334842808, 1e-15);
    EXPECT_NEAR(pnorm(-4.9, &zero, &one, 0), 4.7918327659031897e-07, 1e-20);
}

TEST(Pnorm, FixedTailsBeyondFiveStandardDeviations) {
    double zero = 0.0, one = 1.0;
    EXPECT_EQ(pnorm(5.000001, &zero, &one, 0), 0.9999997);
    EXPECT_EQ(pnorm(5.000001, &zero, &one, 1), 2.9999999995311555E-7);
    EXPECT_EQ(pnorm(-7.0, &zero, &one, 0), 2.86E-7);
    EXPECT_EQ(pnorm(-7.0, &zero, &one, 1), 0.999999714);
    double mean = 10.0, sd = 0.1;
    EXPECT_EQ(pnorm(10.6, &mean, &sd, 1), 2.9999999995311555E-7);
}

TEST(SimpleDraws, WidenTheSeededVariates) {
    setall(246, 135);
    const float u = ranf();
    const float z = snorm();
    const float g = sgamma(2.5f) / 4.0f;
    setall(246, 135);
    double mean = 3.0, sd = 0.5;
    EXPECT_EQ(runif(), static_cast<double>(u));
    EXPECT_EQ(rnorm(&mean, &sd), static_cast<double>(z) * 0.5 + 3.0);
    EXPECT_EQ(rgamma(2.5, 4.0), static_cast<double>(g));
}

TEST(SimpleDraws, DirichletShrinksTheGammaShares) {
    setall(97, 89);
    const float g0 = gengam(1.0f, 2.0f);
    const float g1 = gengam(1.0f, 0.5f);
    setall(97, 89);
    double alpha[2] = {2.0, 0.5};
    double x[2] = {-1, -1};
    int k = 2;
    rdirichlet(x, alpha, &k);
    const double sum = static_cast<double>(g0) + g1;
    EXPECT_NEAR(x[0], (g0 + 0.01 * sum) / (1.02 * sum), 1e-15);
    EXPECT_NEAR(x[1], (g1 + 0.01 * sum) / (1.02 * sum), 1e-15);
    EXPECT_NEAR(x[0] + x[1], 1.0, 1e-15);

    k = 0;
    x[0] = -1;
    rdirichlet(x, alpha, &k);
    EXPECT_EQ(x[0], -1);
}

TEST(SimpleDraws, UniformCategoriesCoverOneToK) {
    setall(11, 22);
    std::vector<double> fast, slow;
    for (int i = 0; i < 20000; ++i) {
        fast.push_back(rmultinom_unif_fast(5));
        slow.push_back(rmultinom_unif(5));
        ASSERT_EQ(rmultinom_unif_fast(1), 1);
        ASSERT_EQ(rmultinom_unif(1), 1);
    }
    const BinnedReference uniform_of_five = {{1, 2, 3, 4}, {0.2, 0.4, 0.6, 0.8}};
    EXPECT_LT(chi_square_statistic(fast, uniform_of_five), chi_square_limit(4));
    EXPECT_LT(chi_square_statistic(slow, uniform_of_five), chi_square_limit(4));
}

TEST(SimpleDraws, UniformCategoriesStayInRangeAtTheLargestUniform) {
    next_ranf_is_one();
    EXPECT_EQ(rmultinom_unif_fast(7), 7);
    next_ranf_is_one();
    EXPECT_EQ(rmultinom_unif(3), 3);  // 1 - 3 (1/3) leaves a residue above 0
    next_ranf_is_one();
    int cat = 0;
    double half[2] = {0.5, 0.5};
    rmultinom(&cat, half);
    EXPECT_EQ(cat, 2);
}

TEST(SimpleDraws, GeneralCategoriesFollowTheirProbabilities) {
    setall(5, 55);
    double p[3] = {0.2, 0.3, 0.5};
    std::vector<double> draws;
    for (int i = 0; i < 20000; ++i) {
        int cat = 0;
        rmultinom(&cat, p);
        ASSERT_GE(cat, 1);
        ASSERT_LE(cat, 3);
        draws.push_back(cat);
    }
    EXPECT_LT(chi_square_statistic(draws, {{1, 2}, {0.2, 0.5}}), chi_square_limit(2));
}
