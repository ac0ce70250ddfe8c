// Discrete distributions: goodness of fit and moments of every fixed-parameter
// class and of every branch of the per-draw Poisson and binomial draws, the
// step densities against reference values, the degenerate and refused
// parameters, and the order and number of uniform draws.
#include "random/discrete.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "random/mt.h"
#include "support/chi_square_limit.h"
#include "support/goodness_of_fit.h"
#include "support/ranvar_error_check.h"
#include "support/scripted_generator.h"

namespace {

using Pmf = std::function<double(int)>;

// Exact probabilities, computed independently of the code under test.
Pmf PoissonPmf(double mu) {
    return [mu](int k) { return std::exp(k * std::log(mu) - mu - std::lgamma(k + 1.0)); };
}

Pmf BinomialPmf(int n, double p) {
    return [n, p](int k) {
        if (k > n) return 0.0;
        return std::exp(std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0) + k * std::log(p) +
                        (n - k) * std::log(1 - p));
    };
}

// Shape N, mean N P: success probability 1 / (1 + P).
Pmf NegativeBinomialPmf(double N, double P) {
    const double p = 1 / (1 + P);
    return [N, p](int k) {
        return std::exp(std::lgamma(k + N) - std::lgamma(N) - std::lgamma(k + 1.0) + N * std::log(p) +
                        k * std::log(1 - p));
    };
}

// Bins of at least 2% probability over 0 ... top, the last one open above.
Bins BinsOf(const Pmf& pmf, int top) {
    Bins bins;
    double cdf = 0.0, bin = 0.0;
    for (int k = 0; k <= top; ++k) {
        const double pk = pmf(k);
        cdf += pk;
        bin += pk;
        if (bin >= 0.02 && 1.0 - cdf >= 0.02) {
            bins.edges.push_back(k);
            bins.cdf.push_back(cdf);
            bin = 0.0;
        }
    }
    return bins;
}

const int kDraws = 20000;

void ExpectFits(const std::string& name, const std::function<double()>& draw, const Pmf& pmf, double mean,
                double variance) {
    std::vector<double> sample(kDraws);
    for (double& x : sample) {
        x = draw();
        ASSERT_EQ(x, std::floor(x)) << name;
    }
    const Bins bins = BinsOf(pmf, static_cast<int>(mean + 12 * std::sqrt(variance) + 20));
    ASSERT_GE(bins.edges.size(), 2u) << name;
    EXPECT_LT(ChiSquare(sample, bins), ChiSquareLimit(static_cast<int>(bins.edges.size()))) << name;
    const Moments m = SampleMoments(sample);
    EXPECT_NEAR(m.mean, mean, 5 * m.mean_se) << name;
    EXPECT_NEAR(m.variance, variance, 5 * m.variance_se) << name;
}

class DiscreteTest : public ::testing::Test {
protected:
    DiscreteTest() { Random::Set(counter); }
    MT mt{0.2718};
    CountingGenerator counter{mt};
};

struct FixedCase {
    std::string name;
    std::function<std::unique_ptr<Random>()> make;
    Pmf pmf;
    double mean, variance;
    bool exact_table;  // two uniforms a draw, else three a try of the strip table
};

// Parameter sets on both sides of the method thresholds (Poisson mean 8;
// binomial 40 trials and n p = 8), the method classes on their own, and the
// negative binomial with its mode at 0 and above.
TEST_F(DiscreteTest, FixedParameterDistributionsFitTheirProbabilities) {
    auto poisson = [](double mu) { return [mu] { return std::make_unique<Poisson>(mu); }; };
    auto binomial = [](int n, double p) { return [n, p] { return std::make_unique<Binomial>(n, p); }; };
    auto negative = [](double N, double P) { return [N, P] { return std::make_unique<NegativeBinomial>(N, P); }; };
    const std::vector<FixedCase> cases = {
        {"Poisson(0.5)", poisson(0.5), PoissonPmf(0.5), 0.5, 0.5, true},
        {"Poisson(8)", poisson(8), PoissonPmf(8), 8, 8, true},
        {"Poisson(8.000001)", poisson(8.000001), PoissonPmf(8.000001), 8.000001, 8.000001, false},
        {"Poisson(30)", poisson(30), PoissonPmf(30), 30, 30, false},
        {"Poisson(100)", poisson(100), PoissonPmf(100), 100, 100, false},
        {"Poisson1(3.5)", [] { return std::make_unique<Poisson1>(3.5); }, PoissonPmf(3.5), 3.5, 3.5, false},
        {"Poisson2(12)", [] { return std::make_unique<Poisson2>(12); }, PoissonPmf(12), 12, 12, true},
        {"Binomial(10, 0.3)", binomial(10, 0.3), BinomialPmf(10, 0.3), 3, 2.1, true},
        {"Binomial(39, 0.5)", binomial(39, 0.5), BinomialPmf(39, 0.5), 19.5, 9.75, true},
        {"Binomial(40, 0.2)", binomial(40, 0.2), BinomialPmf(40, 0.2), 8, 6.4, true},
        {"Binomial(40, 0.25)", binomial(40, 0.25), BinomialPmf(40, 0.25), 10, 7.5, false},
        {"Binomial(1000, 0.008)", binomial(1000, 0.008), BinomialPmf(1000, 0.008), 8, 7.936, true},
        {"Binomial(1000, 0.0081)", binomial(1000, 0.0081), BinomialPmf(1000, 0.0081), 8.1, 8.1 * 0.9919, false},
        {"Binomial(100, 0.9)", binomial(100, 0.9), BinomialPmf(100, 0.9), 90, 9, false},
        {"Binomial1(20, 0.5)", [] { return std::make_unique<Binomial1>(20, 0.5); }, BinomialPmf(20, 0.5), 10, 5, false},
        {"Binomial2(200, 0.05)", [] { return std::make_unique<Binomial2>(200, 0.05); }, BinomialPmf(200, 0.05), 10, 9.5,
         true},
        {"NegativeBinomial(1.5, 0.2)", negative(1.5, 0.2), NegativeBinomialPmf(1.5, 0.2), 0.3, 0.36, false},
        {"NegativeBinomial(1, 1)", negative(1, 1), NegativeBinomialPmf(1, 1), 1, 2, false},
        {"NegativeBinomial(0.5, 3)", negative(0.5, 3), NegativeBinomialPmf(0.5, 3), 1.5, 6, false},
        {"NegativeBinomial(5, 2)", negative(5, 2), NegativeBinomialPmf(5, 2), 10, 30, false},
    };
    for (const FixedCase& c : cases) {
        std::unique_ptr<Random> variable = c.make();
        EXPECT_NEAR(variable->Mean().Value(), c.mean, 1e-6 * (1 + c.mean)) << c.name;
        EXPECT_NEAR(variable->Variance().Value(), c.variance, 1e-6 * (1 + c.variance)) << c.name;
        const std::size_t before = counter.Draws();
        ExpectFits(
            c.name, [&] { return variable->Next(); }, c.pmf, c.mean, c.variance);
        const std::size_t used = counter.Draws() - before;
        if (c.exact_table) {
            EXPECT_EQ(used, 2u * kDraws) << c.name;
        } else {
            EXPECT_EQ(used % 3, 0u) << c.name;
            EXPECT_GE(used, 3u * kDraws) << c.name;
        }
    }
}

TEST_F(DiscreteTest, NamesOfTheDistributions) {
    EXPECT_STREQ(Poisson(8).Name(), "Poisson");
    EXPECT_STREQ(Poisson(20).Name(), "Poisson");
    EXPECT_STREQ(Binomial(10, 0.5).Name(), "Binomial");
    EXPECT_STREQ(Binomial(100, 0.5).Name(), "Binomial");
    EXPECT_STREQ(NegativeBinomial(2, 1).Name(), "NegativeBinomial");
    EXPECT_STREQ(Poisson1(10).Name(), "AsymGen");
    EXPECT_STREQ(Poisson2(3).Name(), "Random");
    EXPECT_STREQ(Binomial1(50, 0.5).Name(), "AsymGen");
    EXPECT_STREQ(Binomial2(10, 0.5).Name(), "Random");
}

// Reference values from R: dpois(3, 10), dpois(12, 10), dbinom(20, 50, 0.3),
// dbinom(50, 50, 0.9), dnbinom(0:2, size = 1.5, prob = 1/1.2),
// dnbinom(7, size = 5, prob = 1/3).
TEST_F(DiscreteTest, StepDensitiesAgainstReferenceValues) {
    Poisson1 poisson(10);
    EXPECT_NEAR(poisson.Density(3), 0.0075666549604141405, 1e-15);
    EXPECT_EQ(poisson.Density(3.7), poisson.Density(3));
    EXPECT_NEAR(poisson.Density(12.99), 0.094780330091767659, 1e-14);
    EXPECT_EQ(poisson.Density(-0.5), 0.0);
    EXPECT_EQ(poisson.Density(60), 0.0);  // below e^-40
    Binomial1 binomial(50, 0.9);
    EXPECT_NEAR(binomial.Density(50.5), 0.0051537752073201179, 1e-15);
    EXPECT_EQ(binomial.Density(51), 0.0);
    EXPECT_EQ(binomial.Density(-0.5), 0.0);
    EXPECT_NEAR(Binomial1(50, 0.3).Density(20.2), 0.037038763133295682, 1e-15);
    NegativeBinomial negative(1.5, 0.2);
    EXPECT_NEAR(negative.Density(0), 0.760725774312730807, 1e-14);
    EXPECT_NEAR(negative.Density(1.5), 0.190181443578182702, 1e-14);
    EXPECT_NEAR(negative.Density(2), 0.039621134078788062, 1e-14);
    EXPECT_EQ(negative.Density(-0.1), 0.0);
    EXPECT_NEAR(NegativeBinomial(5, 2).Density(7), 0.079482012114232822, 1e-14);
}

// p = 0 or 1 and a mean of 0 give the one-point distributions (0 ln 0 = 0).
TEST_F(DiscreteTest, DegenerateParametersGiveOnePointDistributions) {
    struct Case {
        const char* name;
        std::unique_ptr<Random> variable;
        double value;
    };
    Case cases[] = {
        {"Poisson(0)", std::make_unique<Poisson>(0), 0},
        {"Binomial(10, 0)", std::make_unique<Binomial>(10, 0), 0},
        {"Binomial(10, 1)", std::make_unique<Binomial>(10, 1), 10},
        {"Binomial(39, 1)", std::make_unique<Binomial>(39, 1), 39},
        {"Binomial(0, 0.3)", std::make_unique<Binomial>(0, 0.3), 0},
        {"Binomial(500, 0)", std::make_unique<Binomial>(500, 0), 0},
        {"Binomial1(50, 0)", std::make_unique<Binomial1>(50, 0), 0},
        {"Poisson1(0)", std::make_unique<Poisson1>(0), 0},
        {"NegativeBinomial(2, 0)", std::make_unique<NegativeBinomial>(2, 0), 0},
    };
    for (Case& c : cases) {
        EXPECT_NEAR(c.variable->Mean().Value(), c.value, 1e-12) << c.name;
        EXPECT_NEAR(c.variable->Variance().Value(), 0.0, 1e-12) << c.name;
        for (int d = 0; d < 200; ++d) ASSERT_EQ(c.variable->Next(), c.value) << c.name;
    }
}

TEST_F(DiscreteTest, RefusedParameters) {
    const char* illegal = "Ranvar: illegal parameters";
    // The exact binomial table would start outside its 40 entries.
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([] { Binomial2(100, 0.5); }, illegal));
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([] { Binomial2(10, -0.1); }, illegal));
    EXPECT_TRUE(
        Raises<RBD_COMMON::Logic_error>([] { Binomial2(10, std::numeric_limits<double>::quiet_NaN()); }, illegal));
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([] { Binomial2(-1, 0.5); }, illegal));
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([] { Binomial(-5, 0.5); }, illegal));
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([] { Binomial(50, -0.5); }, illegal));
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([] { Binomial1(-1, 0.5); }, illegal));
    // A Poisson table whose tail beyond 39 is not negligible.
    EXPECT_TRUE(Raises<RBD_COMMON::Runtime_error>([] { Poisson2(30); }, "Ranvar: probs don't add to 1"));
    EXPECT_TRUE(Raises<RBD_COMMON::Invalid_argument>([] { NegativeBinomial(-0.5, 1); }, "Negative gamma value "));
}

struct VariCase {
    std::string name;
    std::function<double()> draw;
    Pmf pmf;
    double mean, variance;
};

// Means on both sides of 10, 100, 200 and 300, and the helpers called directly.
TEST_F(DiscreteTest, VariPoissonFitsInEveryBranch) {
    VariPoisson v;
    auto next = [&v](double mu) { return [&v, mu] { return v.Next(mu); }; };
    std::vector<VariCase> cases;
    for (double mu : {0.5, 9.99, 10.0, 50.0, 99.9, 100.0, 150.0, 199.9, 200.0, 250.0, 299.9, 300.0, 1000.0}) {
        cases.push_back({"Next(" + std::to_string(mu) + ")", next(mu), PoissonPmf(mu), mu, mu});
    }
    cases.push_back({"Next_very_small(3)", [&v] { return v.Next_very_small(3); }, PoissonPmf(3), 3, 3});
    cases.push_back({"Next_small(4)", [&v] { return v.Next_small(4); }, PoissonPmf(4), 4, 4});
    cases.push_back({"Next_small(150)", [&v] { return v.Next_small(150); }, PoissonPmf(150), 150, 150});
    cases.push_back({"Next_large(500)", [&v] { return v.Next_large(500); }, PoissonPmf(500), 500, 500});
    for (const VariCase& c : cases) ExpectFits(c.name, c.draw, c.pmf, c.mean, c.variance);
}

// n p on both sides of 10 and 200, p above 0.5 (drawn as n minus the draw for
// 1 - p), and the helpers called directly.
TEST_F(DiscreteTest, VariBinomialFitsInEveryBranch) {
    VariBinomial v;
    std::vector<VariCase> cases;
    const std::pair<int, double> parameters[] = {{10, 0.3},   {20, 0.5},  {21, 0.5},   {100000, 0.0001},
                                                 {1000, 0.1}, {400, 0.5}, {402, 0.5},  {1000, 0.3},
                                                 {30, 0.8},   {500, 0.9}, {1000, 0.5}, {5, 0.5}};
    for (const auto& [n, p] : parameters) {
        cases.push_back({"Next(" + std::to_string(n) + ", " + std::to_string(p) + ")",
                         [&v, n = n, p = p] { return v.Next(n, p); }, BinomialPmf(n, p), n * p, n * p * (1 - p)});
    }
    cases.push_back(
        {"Next_very_small(50, 0.4)", [&v] { return v.Next_very_small(50, 0.4); }, BinomialPmf(50, 0.4), 20, 12});
    cases.push_back({"Next_small(60, 0.1)", [&v] { return v.Next_small(60, 0.1); }, BinomialPmf(60, 0.1), 6, 5.4});
    cases.push_back(
        {"Next_large(2000, 0.5)", [&v] { return v.Next_large(2000, 0.5); }, BinomialPmf(2000, 0.5), 1000, 500});
    for (const VariCase& c : cases) ExpectFits(c.name, c.draw, c.pmf, c.mean, c.variance);
}

TEST_F(DiscreteTest, TrivialParametersDrawNothing) {
    Random::Set(*Random::Dummy);  // any draw would raise
    VariPoisson poisson;
    VariBinomial binomial;
    EXPECT_EQ(poisson.Next(0), 0.0);
    EXPECT_EQ(poisson.Next_very_small(0), 0.0);
    EXPECT_EQ(binomial.Next(0, 0.3), 0.0);
    EXPECT_EQ(binomial.Next(10, 0), 0.0);
    EXPECT_EQ(binomial.Next(10, 1), 10.0);
    EXPECT_EQ(binomial.iNext(10, 1), 10);
    const char* illegal = "Ranvar: illegal parameters";
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([&] { poisson.Next(-1); }, illegal));
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([&] { binomial.Next(-1, 0.3); }, illegal));
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([&] { binomial.Next(10, -0.1); }, illegal));
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([&] { binomial.Next(-3, 0.9); }, illegal));
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([&] { binomial.Next_small(-3, 0.2); }, illegal));
}

// Between 100 and 200 the mean-100 table is drawn first, then the search for
// the rest of the mean.
TEST_F(DiscreteTest, VariPoissonDrawsTheTablePartFirst) {
    double expected[50];
    {
        MT restart(0.99);
        Random::Set(restart);
        Poisson p100(100);
        VariPoisson rest;
        for (double& x : expected) {
            const double k = p100.Next();
            x = k + rest.Next_small(50);
        }
    }
    MT restart(0.99);
    Random::Set(restart);
    VariPoisson v;
    for (double x : expected) EXPECT_EQ(v.Next(150), x);
}

// Above p = 0.5 the draw is n minus a draw for 1 - p, on the same uniforms.
TEST_F(DiscreteTest, VariBinomialAboveOneHalfCountsTheFailures) {
    double failures[50];
    {
        MT restart(0.58);
        Random::Set(restart);
        VariBinomial v;
        for (double& x : failures) x = v.Next(30, 1 - 0.8);
    }
    MT restart(0.58);
    Random::Set(restart);
    VariBinomial v;
    for (double x : failures) EXPECT_EQ(v.Next(30, 0.8), 30 - x);
}

TEST_F(DiscreteTest, INextRoundsAndRefusesValuesBeyondTheIntRange) {
    VariPoisson poisson;
    VariBinomial binomial;
    double draws[100];
    {
        MT restart(0.41);
        Random::Set(restart);
        for (double& x : draws) x = poisson.Next(55);
    }
    MT restart(0.41);
    Random::Set(restart);
    for (double x : draws) EXPECT_EQ(poisson.iNext(55), static_cast<int>(x));
    const char* message = "Cannot convert to integer ";
    EXPECT_TRUE(Raises<RBD_COMMON::Runtime_error>([&] { poisson.iNext(1e12); }, message));
    EXPECT_TRUE(
        Raises<RBD_COMMON::Runtime_error>([&] { poisson.iNext(std::numeric_limits<double>::quiet_NaN()); }, message));
    EXPECT_TRUE(Raises<RBD_COMMON::Runtime_error>([&] { binomial.iNext(10, std::numeric_limits<double>::quiet_NaN()); },
                                                  message));
    const int k = binomial.iNext(2000000000, 0.5);
    EXPECT_NEAR(k, 1e9, 2e5);
}

// The largest uniform of MT, 1 - 2^-33, lies above the computed sum of the
// Binomial(1e6, 1e-4) probabilities (the probability of the mode, from
// logarithms of factorials near 1.3e7, leaves it about 1.7e-9 short of 1):
// the draw is still in the top tail, at
// or above the quantile of that uniform (R: qbinom(2^-33, 1e6, 1e-4,
// lower.tail = FALSE) = 170), and not beyond where the probabilities fall
// below 1e-18 (R: dbinom(200, 1e6, 1e-4) = 4.7e-19).
TEST_F(DiscreteTest, VariBinomialTopTailUniformsGiveTopTailDraws) {
    const double largest = 1.0 - 1.0 / 8589934592.0;
    ScriptedGenerator top(std::vector<double>(2, largest));
    Random::Set(top);
    VariBinomial binomial;
    const double k = binomial.Next(1000000, 0.0001);
    EXPECT_GE(k, 170.0);
    EXPECT_LE(k, 200.0);
    const double failures = 1000000.0 - binomial.Next(1000000, 0.9999);
    EXPECT_GE(failures, 170.0);
    EXPECT_LE(failures, 200.0);
}

// A uniform that no partial sum reaches (out of the generators' range, so
// certain to exhaust the mass) ends every search once its terms vanish, at
// the top of the distribution (the binomial draws at least 6 standard
// deviations above the mean, or n).
TEST_F(DiscreteTest, SearchesEndWhenTheirTermsVanish) {
    ScriptedGenerator beyond(std::vector<double>(16, 1.5));
    Random::Set(beyond);
    VariPoisson poisson;
    VariBinomial binomial;
    EXPECT_GT(poisson.Next_very_small(5), 30.0);
    EXPECT_GT(poisson.Next_small(50), 100.0);
    EXPECT_EQ(binomial.Next_very_small(10, 0.3), 10.0);
    EXPECT_GT(binomial.Next_small(100000000, 0.000001), 160.0);
    EXPECT_GT(binomial.Next_small(1000, 0.1), 157.0);
    // n = INT_MAX: the counter of the search from 0 must not overflow.
    EXPECT_GT(binomial.Next_very_small(INT_MAX, 2e-9), 20.0);
    // Inputs for which the searches cannot start or their counters cannot hold.
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([&] { poisson.Next_very_small(800); }, "Ranvar: illegal parameters"));
    EXPECT_TRUE(Raises<RBD_COMMON::Runtime_error>([&] { poisson.Next_small(3e9); }, "Cannot convert to integer "));
    EXPECT_TRUE(
        Raises<RBD_COMMON::Logic_error>([&] { binomial.Next_very_small(100000, 0.9); }, "Ranvar: illegal parameters"));
}

}  // namespace
