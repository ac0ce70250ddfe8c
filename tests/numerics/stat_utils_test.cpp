// Vector statistics utilities: vector statistics, densities against R, draws through the
// installed generator, samples without replacement and the line counter.
#include "numerics/stat_utils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "random/mt.h"
#include "random/random.h"
#include "sampling_checks.h"

namespace {

// Installed generator that returns scripted uniforms and counts the draws.
class ScriptedUniform : public Random {
public:
    explicit ScriptedUniform(std::vector<double> values) : values_(std::move(values)) { Random::Set(*this); }
    double Next() override { return values_.at(drawn_++); }
    std::size_t drawn() const { return drawn_; }

private:
    std::vector<double> values_;
    std::size_t drawn_ = 0;
};

const std::vector<double> deciles = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9};

void expect_fits(const std::function<double()>& draw, const std::vector<double>& quantiles, int n,
                 const std::string& name) {
    std::vector<double> samples;
    for (int i = 0; i < n; ++i) {
        samples.push_back(draw());
    }
    EXPECT_LT(chi_square_statistic(samples, {quantiles, deciles}), chi_square_limit(deciles.size())) << name;
}

}  // namespace

TEST(VectorStatistics, MeansVariancesAndCovariancesOfTheLeadingElements) {
    std::vector<double> v = {1, 2, 3, 4, 100};
    std::vector<double> w = {2, 1, 4, 3, -100};
    EXPECT_DOUBLE_EQ(stat_utils::meanvec(&v, 4), 2.5);
    EXPECT_DOUBLE_EQ(stat_utils::varvec(&v, 2.5, 4), 5.0 / 3.0);
    EXPECT_DOUBLE_EQ(stat_utils::varvec(&v, 0.0, 4), 30.0 / 3.0);  // the given mean is used
    EXPECT_DOUBLE_EQ(stat_utils::varvec1(&v, 4), 5.0 / 3.0);
    EXPECT_DOUBLE_EQ(stat_utils::covvec(&v, &w, 2.5, 2.5, 4), 3.0 / 3.0);
    EXPECT_DOUBLE_EQ(stat_utils::covvec1(&v, &w, 4), 1.0);
    EXPECT_FALSE(std::isfinite(stat_utils::varvec1(&v, 1)));
    EXPECT_FALSE(std::isfinite(stat_utils::covvec1(&v, &w, 1)));
}

TEST(VectorStatistics, RunningUpdatesAreThoseOfTheProceduralLibrary) {
    double mean = 0, var = 0, sd = 0;
    double n = 0;
    for (double x : {2.0, 4.0, 9.0}) {
        n += 1;
        stat_utils::sequential_mean(&mean, &x, n);
        stat_utils::sequential_variance(&var, &mean, &x, n);
        stat_utils::sequential_sd(&sd, &mean, &x, n);
    }
    EXPECT_DOUBLE_EQ(var, 13.0);
    EXPECT_DOUBLE_EQ(sd, std::sqrt(13.0));
    double m[2] = {1, 1}, v[2] = {0, 0}, s[2] = {0, 0}, x[2] = {3, 5};
    stat_utils::sequential_mean_vec(m, x, 2, 2);
    stat_utils::sequential_variance_vec(v, m, x, 1, 2);
    stat_utils::sequential_sd_vec(s, m, x, 1, 2);
    EXPECT_DOUBLE_EQ(m[1], 3.0);
    EXPECT_DOUBLE_EQ(v[1], 5.0);
    EXPECT_DOUBLE_EQ(s[0], 3.0);
}

TEST(VectorStatistics, DensitiesMatchR) {
    double mean = 0.5, sd = 2.0;
    // R: dnorm(1.3, 0.5, 2), rescaled by sqrt(2 pi) / 2.5066282747946493 for the constant used.
    EXPECT_NEAR(stat_utils::dnorm(1.3, &mean, &sd), 0.18413507013964012, 1e-15);
    // R: dnorm(1.3, 0.5, 2, log = TRUE); 6.283185308 differs from 2 pi by 2e-10.
    EXPECT_NEAR(stat_utils::log_dnorm(1.3, 0.5, 4.0), -1.6920857137646181, 1e-9);
    // R: dgamma(2.5, 3, rate = 1.5, log = TRUE)
    EXPECT_NEAR(stat_utils::dgamma(2.5, 3.0, 1.5, 1), -1.394170392487142, 1e-13);
    EXPECT_NEAR(stat_utils::dgamma(2.5, 3.0, 1.5, 0), 0.24803872582509609, 1e-14);
    EXPECT_NEAR(stat_utils::log_dgamma(2.5, 3.0, 1.5), -1.394170392487142, 1e-13);
    // R: dbeta(0.3, 2.5, 4, log = TRUE)
    EXPECT_NEAR(stat_utils::log_dbeta(0.3, 2.5, 4.0), 0.71013568185106624, 1e-13);
    // R: dgamma(1 / 1.7, 2.5, rate = 2, log = TRUE) - 2 log(1.7), the density of 1/X for
    // X ~ Gamma(nu / 2, rate nu s2 / 2) with nu = 5, s2 = 0.8.
    EXPECT_NEAR(stat_utils::log_dscaled_Inv_Chi_Squared(1.7, 5.0, 0.8), -1.5854843860259464, 1e-13);
    // R: lgamma(sum(a)) - sum(lgamma(a)) + sum((a - 1) * log(x))
    double x[3] = {0.2, 0.5, 0.3}, alpha[3] = {2, 3.5, 0.7};
    int k = 3;
    EXPECT_NEAR(stat_utils::ddirichlet(x, alpha, &k), 0.68934391642237092, 1e-13);
}

TEST(VectorStatisticsDraws, GammaBetaAndChiSquaredFitTheirDistributions) {
    MT generator(0.4242);
    Random::Set(generator);
    // R: qgamma(deciles, 2.5, rate = 3), qgamma(deciles, 0.6), qbeta(deciles, 2, 5),
    // qbeta(deciles, 0.5, 1.5), qchisq(deciles, 4), qchisq(deciles, 1).
    expect_fits([] { return stat_utils::rgamma(2.5, 3.0); },
                {0.2683846645, 0.3904223843, 0.4999846888, 0.6092499372, 0.7252433652, 0.8553111791, 1.010738331,
                 1.214879354, 1.539392817},
                4000, "rgamma 2.5 3");
    expect_fits([] { return stat_utils::rgamma(0.6, 1.0); },
                {0.01806043811, 0.05880335269, 0.1199888247, 0.2038225789, 0.315702017, 0.4659092457, 0.6747479672,
                 0.9889917987, 1.560503416},
                4000, "rgamma 0.6 1");
    expect_fits([] { return stat_utils::genbet(2.0f, 5.0f); },
                {0.09259525891, 0.1398806883, 0.1818034713, 0.2225835336, 0.2644499833, 0.3094444275, 0.3603576904,
                 0.4224475248, 0.5103163066},
                4000, "genbet 2 5");
    expect_fits([] { return stat_utils::genbet(0.5f, 1.5f); },
                {0.006181243938, 0.02488070683, 0.05658805494, 0.1022026614, 0.1631939854, 0.2419280625, 0.3423858037,
                 0.4720360895, 0.648642802},
                4000, "genbet 0.5 1.5");
    expect_fits([] { return stat_utils::genchi(4); },
                {1.063623217, 1.648776618, 2.194698421, 2.752842684, 3.35669398, 4.044626491, 4.878432967, 5.988616694,
                 7.77944034},
                4000, "genchi 4");
    expect_fits([] { return stat_utils::genchi(1); },
                {0.01579077409, 0.06418475467, 0.1484718618, 0.2749958977, 0.4549364231, 0.7083263008, 1.074194171,
                 1.642374415, 2.705543454},
                4000, "genchi 1");
}

TEST(VectorStatisticsDraws, DirichletSumsToOneAndIsShrunkTowardsTheCentre) {
    MT generator(0.777);
    Random::Set(generator);
    double alpha[3] = {1.0, 2.0, 7.0};
    int k = 3;
    double sums[3] = {0, 0, 0};
    const int n = 3000;
    for (int i = 0; i < n; ++i) {
        double x[3];
        stat_utils::rdirichlet(x, alpha, &k);
        ASSERT_NEAR(x[0] + x[1] + x[2], 1.0, 1e-12);
        for (int c = 0; c < 3; ++c) {
            ASSERT_GE(x[c], 0.01 / 1.03);
            sums[c] += x[c];
        }
    }
    for (int c = 0; c < 3; ++c) {
        // E[x_c] = (alpha_c / 10 + 0.01) / 1.03; the standard deviation of a component is below 0.16.
        EXPECT_NEAR(sums[c] / n, (alpha[c] / 10.0 + 0.01) / 1.03, 5 * 0.16 / std::sqrt(n)) << c;
    }
}

TEST(VectorStatisticsDraws, UniformAndWeightedCategories) {
    {
        ScriptedUniform u({0.1, 0.34, 0.99, 0.5, 0.25});
        EXPECT_EQ(stat_utils::rmultinom_unif(3), 1);
        EXPECT_EQ(stat_utils::rmultinom_unif(3), 2);
        EXPECT_EQ(stat_utils::rmultinom_unif(3), 3);
        EXPECT_EQ(stat_utils::rmultinom_unif(0), 0);
        EXPECT_EQ(stat_utils::rmultinom_unif(1), 1);
    }
    {
        std::vector<double> half = {0.5, 0.5};
        ScriptedUniform u({0.5, 0.50001, 0.2});
        EXPECT_EQ(stat_utils::rmultinom(&half), 1);
        EXPECT_EQ(stat_utils::rmultinom(&half), 2);
        std::vector<double> short_of_one = {0.1, 0.05};
        EXPECT_EQ(stat_utils::rmultinom(&short_of_one), 2);  // the size when the weights run out
    }
    {
        stat_utils::WeightedChoices choices = {{3.0, {1}}, {1.0, {2}}, {6.0, {3}}};
        ScriptedUniform u({0.5, 0.7, 0.95, 0.6});
        EXPECT_EQ(stat_utils::rmultinom(&choices, 10.0)->second, std::vector<int>{3});  // largest first
        EXPECT_EQ(stat_utils::rmultinom(&choices, 10.0)->second, std::vector<int>{1});
        EXPECT_EQ(stat_utils::rmultinom(&choices, 10.0)->second, std::vector<int>{2});
        EXPECT_EQ(stat_utils::rmultinom(&choices, 20.0)->second, std::vector<int>{2});  // weights below the draw
        stat_utils::WeightedChoices empty;
        ScriptedUniform v({0.5});
        EXPECT_EQ(stat_utils::rmultinom(&empty, 1.0), empty.end());
    }
}

TEST(Samp, SamplesWithoutReplacementAfterTheFixedLeadingIndices) {
    {
        ScriptedUniform u({});
        std::vector<int> out(3, -1);
        stat_utils::samp(10, 3, 3, &out);
        EXPECT_EQ(out, (std::vector<int>{0, 1, 2}));
        EXPECT_EQ(u.drawn(), 0u);
    }
    {
        // Ranks: ceil(0.5 * 5) - 1 = 2, then 0 of 4, 2 of 3, 0 of 2, 0 of 1.
        ScriptedUniform u({0.5, 0.1, 0.99, 0.3, 0.7});
        std::vector<int> out(5, -1);
        stat_utils::samp(5, 0, 5, &out);
        EXPECT_EQ(out, (std::vector<int>{2, 0, 4, 1, 3}));
        EXPECT_EQ(u.drawn(), 5u);
    }
    {
        ScriptedUniform u({0.75, 0.2});
        std::vector<int> out(4, -1);
        stat_utils::samp(8, 2, 4, &out);
        EXPECT_EQ(out, (std::vector<int>{0, 1, 6, 2}));
    }
}

TEST(Samp, RangeMessageAndBoundsOfThePoolAndTheOutput) {
    testing::internal::CaptureStdout();
    {
        // p > N: the pool of 3 runs out; no draw from the empty pool, no write past it.
        ScriptedUniform u({0.9, 0.9, 0.9, 0.9, 0.9});
        std::vector<int> out(5, -1);
        stat_utils::samp(3, 0, 5, &out);
        EXPECT_EQ(out, (std::vector<int>{2, 1, 0, -1, -1}));
        EXPECT_EQ(u.drawn(), 3u);
    }
    {
        // p < M: only the p elements that out holds are written.
        ScriptedUniform u({});
        std::vector<int> out(2, -1);
        stat_utils::samp(10, 4, 2, &out);
        EXPECT_EQ(out, (std::vector<int>{0, 1}));
    }
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "need p >= M and p <= N in samp function\nneed p >= M and p <= N in samp function\n");
    {
        ScriptedUniform u({0.5, 0.5, 0.5});
        std::vector<int> out(3, -1);  // shorter than p
        stat_utils::samp(10, 0, 5, &out);
        EXPECT_EQ(out.size(), 3u);
        EXPECT_EQ(u.drawn(), 3u);  // nothing drawn that could not be written
    }
}

TEST(Samp1, PairsInRandomOrder) {
    {
        ScriptedUniform u({0.7, 0.2});
        std::vector<int> out(6, -1);
        stat_utils::samp1(6, 2, 2, &out);
        EXPECT_EQ(out, (std::vector<int>{0, 1, 4, 5, 2, 3}));
        EXPECT_EQ(u.drawn(), 2u);
    }
    {
        ScriptedUniform u({0.1, 0.1, 0.1});
        std::vector<int> out(6, -1);
        stat_utils::samp1(6, 0, 0, &out);
        EXPECT_EQ(out, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    }
    {
        ScriptedUniform u({0.9, 0.9});
        std::vector<int> out(4, -1);  // shorter than N: the second pair has no room
        stat_utils::samp1(6, 0, 0, &out);
        EXPECT_EQ(out, (std::vector<int>{4, 5, 2, 3}));
    }
}

TEST(CountLines, CountsLineEndsToTheEndOfTheStream) {
    std::istringstream three("first\nsecond\nthird");
    EXPECT_EQ(stat_utils::countLines(three), 2);
    std::istringstream ended("a\nb\n");
    EXPECT_EQ(stat_utils::countLines(ended), 2);
    EXPECT_EQ(stat_utils::countLines(ended), 0);  // already consumed
    std::istringstream empty("");
    EXPECT_EQ(stat_utils::countLines(empty), 0);
    std::istream unbuffered(nullptr);
    EXPECT_EQ(stat_utils::countLines(unbuffered), 0);
}
