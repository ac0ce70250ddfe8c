// DiscreteGen's alias table (draws, moments, fit, refused tables) and the
// log-normal draws of VariLogNormal.
#include "random/discrete_gen.h"

#include <gtest/gtest.h>
#include <myexcept.h>

#include <cmath>
#include <type_traits>
#include <vector>

#include "random/mt.h"
#include "random/random.h"
#include "support/goodness_of_fit.h"
#include "support/ranvar_error_check.h"
#include "support/scripted_generator.h"

namespace {

using RBD_COMMON::Logic_error;
using RBD_COMMON::Runtime_error;

static_assert(!std::is_copy_constructible_v<DiscreteGen>);

class DiscreteGenTest : public ::testing::Test {
protected:
    void TearDown() override { Random::Set(*Random::Dummy); }
};

std::vector<double> Sample(Random& variable, int n) {
    std::vector<double> sample(n);
    for (double& x : sample) x = variable.Next();
    return sample;
}

TEST_F(DiscreteGenTest, EqualProbabilitiesKeepEveryCellItsOwn) {
    double prob[5] = {0.2, 0.2, 0.2, 0.2, 0.2};
    DiscreteGen variable(5, prob);
    // Two uniforms a draw: the cell from the first, the second never moves it.
    ScriptedGenerator script({0.55, 0.99, 0.999, 0.0, 0.0, 0.5, 1.0, 0.7});
    Random::Set(script);
    EXPECT_EQ(variable.Next(), 2.0);
    EXPECT_EQ(variable.Next(), 4.0);
    EXPECT_EQ(variable.Next(), 0.0);
    EXPECT_EQ(variable.Next(), 4.0);  // a first uniform of exactly 1 takes the last cell
    EXPECT_EQ(script.Draws(), 8u);
}

TEST_F(DiscreteGenTest, ValuesWithTheirProbabilities) {
    double prob[3] = {0.5, 0.3, 0.2};
    double values[3] = {10.0, 20.0, 30.0};
    DiscreteGen variable(3, prob, values);
    values[1] = -1.0;  // the values were copied
    EXPECT_DOUBLE_EQ(variable.Mean().Value(), 17.0);
    EXPECT_DOUBLE_EQ(variable.Variance().Value(), 61.0);
    EXPECT_STREQ(variable.Name(), "DiscreteGen");
    MT generator(0.8);
    Random::Set(generator);
    const std::vector<double> sample = Sample(variable, 20000);
    for (const double x : sample) ASSERT_TRUE(x == 10.0 || x == 20.0 || x == 30.0) << x;
    // R: qchisq(1 - 1e-4, 2) = 18.42.
    EXPECT_LT(ChiSquare(sample, Bins{{15.0, 25.0}, {0.5, 0.8}}), 18.42);
}

TEST_F(DiscreteGenTest, BinomialTableFitsItsLaw) {
    // R: dbinom(0:10, 10, 0.3).
    double prob[11] = {0.02824752489999998,   0.12106082099999992,    0.23347444049999999,   0.26682793199999993,
                       0.20012094900000008,   0.10291934520000003,    0.036756909000000004,  0.0090016919999999865,
                       0.0014467005000000008, 0.00013778099999999991, 5.9048999999999949e-06};
    DiscreteGen variable(11, prob);
    EXPECT_NEAR(variable.Mean().Value(), 3.0, 1e-12);
    EXPECT_NEAR(variable.Variance().Value(), 2.1, 1e-12);
    MT generator(0.15);
    Random::Set(generator);
    const std::vector<double> sample = Sample(variable, 20000);
    // Outcomes 0 ... 6 and 7 or more.
    Bins bins;
    double cumulative = 0.0;
    for (int k = 0; k <= 6; ++k) {
        cumulative += prob[k];
        bins.edges.push_back(k + 0.5);
        bins.cdf.push_back(cumulative);
    }
    // R: qchisq(1 - 1e-4, 7) = 29.88.
    EXPECT_LT(ChiSquare(sample, bins), 29.88);
    const Moments m = SampleMoments(sample);
    EXPECT_NEAR(m.mean, 3.0, 5.0 * m.mean_se);
    EXPECT_NEAR(m.variance, 2.1, 5.0 * m.variance_se);
}

TEST_F(DiscreteGenTest, RefusedTables) {
    double too_much[2] = {0.5, 0.6};
    EXPECT_TRUE(Raises<Runtime_error>([&] { DiscreteGen(2, too_much); }, "Ranvar: probs don't add to 1 (a)"));
    double too_little[2] = {0.5, 0.4};
    EXPECT_TRUE(Raises<Runtime_error>([&] { DiscreteGen(2, too_little); }, "Ranvar: probs don't add to 1 (b)"));
    double eleven_tenths[4] = {0.3, 0.3, 0.3, 0.2};
    EXPECT_TRUE(Raises<Runtime_error>([&] { DiscreteGen(4, eleven_tenths); }, "Ranvar: probs don't add to 1"));
    double beyond_one[2] = {3.0, 3.0};
    EXPECT_TRUE(Raises<Runtime_error>([&] { DiscreteGen(2, beyond_one); }, "Ranvar: method fails"));
    double values[1] = {1.0};
    EXPECT_TRUE(Raises<Runtime_error>([&] { DiscreteGen(2, beyond_one, values); }, "Ranvar: method fails"));
    for (const int n : {0, -3}) {
        EXPECT_TRUE(Raises<Logic_error>([&] { DiscreteGen(n, too_much); }, "Ranvar: illegal parameters"));
        EXPECT_TRUE(Raises<Logic_error>([&] { DiscreteGen(n, too_much, values); }, "Ranvar: illegal parameters"));
    }
}

TEST_F(DiscreteGenTest, LogNormalWithThePerDrawMeanAndDeviation) {
    MT generator(0.45);
    Random::Set(generator);
    VariLogNormal variable;
    for (int i = 0; i < 100; ++i) ASSERT_EQ(variable.Next(3.5, 0.0), 3.5);
    std::vector<double> sample(20000);
    for (double& x : sample) x = variable.Next(2.0, 1.0);
    // R: qlnorm(p, log(2) - s2 / 2, sqrt(s2)) with s2 = log(1 + 1 / 4); 9 degrees
    // of freedom, qchisq(1 - 1e-4, 9) = 33.72.
    EXPECT_LT(ChiSquare(sample, Deciles({0.9764762452, 1.202027548, 1.396345839, 1.587085184, 1.788854382, 2.016274887,
                                         2.291695875, 2.662168604, 3.277089449})),
              33.72);
    const Moments m = SampleMoments(sample);
    EXPECT_NEAR(m.mean, 2.0, 5.0 * m.mean_se);
    EXPECT_NEAR(m.variance, 1.0, 5.0 * m.variance_se);
}

}  // namespace
