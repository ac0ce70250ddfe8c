// Discrete seeded variates: binomial, Poisson and negative binomial counts against R's
// distribution functions per method, their caches, and multinomial counts.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include <cmath>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "numerics/com.h"
#include "numerics/variates.h"
#include "sampling_checks.h"

namespace {

struct DiscreteCase {
    std::string name;
    std::function<long()> draw;
    BinnedReference reference;
    double mean;
    double variance;
};

std::vector<double> sample(const std::function<long()>& draw, int n) {
    std::vector<double> out;
    out.reserve(n);
    for (int i = 0; i < n; ++i) {
        out.push_back(static_cast<double>(draw()));
    }
    return out;
}

void expect_distribution(const DiscreteCase& c, int n) {
    const std::vector<double> samples = sample(c.draw, n);
    EXPECT_LT(chi_square_statistic(samples, c.reference), chi_square_limit(c.reference.cuts.size())) << c.name;
    const SampleMoments m = sample_moments(samples);
    EXPECT_NEAR(m.mean, c.mean, 5.0 * m.mean_error) << c.name;
    EXPECT_NEAR(m.variance, c.variance, 5.0 * m.variance_error) << c.name;
}

// Cut points are R's quantiles at the deciles (duplicates dropped), with the R
// distribution function at each: pbinom, ppois, pnbinom.
const DiscreteCase binomial_inversion = {
    "ignbin 20 0.3",
    [] { return ignbin(20, 0.3f); },
    {{3, 4, 5, 6, 7, 8, 9},
     {0.1070868045, 0.2375077789, 0.4163708294, 0.6080098122, 0.7722717974, 0.8866685371, 0.9520381027}},
    6.0,
    4.2};
const DiscreteCase binomial_btpe = {"ignbin 200 0.4",
                                    [] { return ignbin(200, 0.4f); },
                                    {{71, 74, 76, 78, 80, 82, 84, 86, 89},
                                     {0.1094154103, 0.2141941458, 0.308036686, 0.4161245534, 0.5306621577, 0.6424080699,
                                      0.742849208, 0.8260713968, 0.9142763239}},
                                    80.0,
                                    48.0};
const DiscreteCase poisson_table = {
    "ignpoi 4",
    [] { return ignpoi(4.0f); },
    {{2, 3, 4, 5, 6, 7}, {0.2381033056, 0.4334701204, 0.6288369352, 0.785130387, 0.8893260216, 0.9488663842}},
    4.0,
    4.0};
const DiscreteCase poisson_pd = {"ignpoi 37.5",
                                 [] { return ignpoi(37.5f); },
                                 {{30, 32, 34, 36, 37, 39, 41, 43, 45},
                                  {0.1243532107, 0.2096120244, 0.3195455615, 0.4456712323, 0.5108906566, 0.6371377711,
                                   0.7482209679, 0.8369201025, 0.9014817786}},
                                 37.5,
                                 37.5};

}  // namespace

TEST(DiscreteVariates, EachMethodFitsItsDistribution) {
    setall(13579, 24680);
    const std::vector<DiscreteCase> cases = {
        binomial_inversion,
        {"ignbin 15 0.9 (inversion on 1 - p)",
         [] { return ignbin(15, 0.9f); },
         {{12, 13, 14}, {0.1840610691, 0.4509569811, 0.7941088679}},
         13.5,
         1.35},
        {"ignbin 60 0.5 (BTPE at n p = 30)",
         [] { return ignbin(60, 0.5f); },
         {{25, 27, 28, 29, 30, 31, 32, 33, 35},
          {0.1225304165, 0.2594790016, 0.3494417138, 0.4487109135, 0.5512890865, 0.6505582862, 0.7405209984,
           0.8168529966, 0.922499048}},
         30.0,
         15.0},
        binomial_btpe,
        {"ignbin 1000 0.7 (BTPE on 1 - p)",
         [] { return ignbin(1000, 0.7f); },
         {{681, 688, 692, 696, 700, 704, 708, 712, 719},
          {0.1013546442, 0.2132294518, 0.3012235527, 0.4029052875, 0.511927484, 0.6203277299, 0.720222126, 0.8054910425,
           0.9114204774}},
         700.0,
         210.0},
        {"ignbin 100000 0.5 (BTPE, Stirling test)",
         [] { return ignbin(100000, 0.5f); },
         {{49797, 49867, 49917, 49960, 50000, 50040, 50083, 50133, 50203},
          {0.1001454652, 0.2010144048, 0.3009133258, 0.4013633767, 0.5012615631, 0.6010802884, 0.7012850526,
           0.8007569095, 0.9009611706}},
         50000.0,
         25000.0},
        {"ignpoi 0.7 (table)",
         [] { return ignpoi(0.7f); },
         {{0, 1, 2}, {0.4965853038, 0.8441950164, 0.9658584159}},
         0.7,
         0.7},
        poisson_table,
        {"ignpoi 9.9 (table)",
         [] { return ignpoi(9.9f); },
         {{6, 7, 8, 9, 10, 11, 12, 14},
          {0.136574123, 0.2293639692, 0.3441914039, 0.4705015821, 0.5955486584, 0.7080910272, 0.8009384814,
           0.9216452733}},
         9.9,
         9.9},
        {"ignpoi 10 (PD)",
         [] { return ignpoi(10.0f); },
         {{6, 7, 8, 9, 10, 11, 12, 13, 14},
          {0.1301414209, 0.2202206466, 0.3328196788, 0.4579297145, 0.5830397502, 0.6967761463, 0.7915564764,
           0.8644644226, 0.9165415271}},
         10.0,
         10.0},
        poisson_pd,
        {"ignpoi 1000 (PD)",
         [] { return ignpoi(1000.0f); },
         {{960, 973, 983, 992, 1000, 1008, 1016, 1027, 1041},
          {0.1052567207, 0.2014504534, 0.302251827, 0.4081950221, 0.5084093672, 0.607833878, 0.7004194898, 0.8081045642,
           0.9046746964}},
         1000.0,
         1000.0},
        {"ignnbn 5 0.4",
         [] { return ignnbn(5, 0.4f); },
         {{3, 4, 5, 6, 7, 8, 9, 11, 13},
          {0.1736704, 0.26656768, 0.3668967424, 0.4672258048, 0.5618217779, 0.6469581537, 0.7207430128, 0.8334326156,
           0.9058313513}},
         7.5,
         18.75},
        {"ignnbn 2 0.8", [] { return ignnbn(2, 0.8f); }, {{0, 1, 2}, {0.64, 0.896, 0.9728}}, 0.5, 0.625},
    };
    for (const DiscreteCase& c : cases) {
        expect_distribution(c, 20000);
    }
}

TEST(DiscreteVariates, CachesFollowAlternatingParameters) {
    setall(99, 100);
    std::vector<double> a, b, c, d;
    for (int i = 0; i < 10000; ++i) {
        a.push_back(static_cast<double>(binomial_inversion.draw()));
        b.push_back(static_cast<double>(binomial_btpe.draw()));
        c.push_back(static_cast<double>(poisson_table.draw()));
        d.push_back(static_cast<double>(poisson_pd.draw()));
    }
    for (const auto& [name, samples, reference] : {std::tuple{binomial_inversion.name, a, binomial_inversion.reference},
                                                   std::tuple{binomial_btpe.name, b, binomial_btpe.reference},
                                                   std::tuple{poisson_table.name, c, poisson_table.reference},
                                                   std::tuple{poisson_pd.name, d, poisson_pd.reference}}) {
        EXPECT_LT(chi_square_statistic(samples, reference), chi_square_limit(reference.cuts.size())) << name;
    }
}

TEST(DiscreteVariates, DegenerateParameters) {
    setall(1, 2);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(ignbin(0, 0.3f), 0);
        EXPECT_EQ(ignbin(12, 0.0f), 0);
        EXPECT_EQ(ignbin(12, 1.0f), 12);
        EXPECT_EQ(ignnbn(0, 0.5f), 0);
    }
}

TEST(DiscreteVariates, CountsAtTheLargestAcceptedParametersEndAndStayNearTheMean) {
    setall(31, 41);
    // The largest count: n + 1 must not overflow; the mean is 9.2.
    for (int i = 0; i < 200; ++i) {
        const long k = ignbin(LONG_MAX, 1e-18f);
        EXPECT_GE(k, 0);
        EXPECT_LE(k, 60);
    }
    // Means just below the refusals; forty standard deviations either side.
    const double binomial_mean = 0x1p47;
    const double poisson_mean = 0x1p62;
    for (int i = 0; i < 200; ++i) {
        EXPECT_NEAR(static_cast<double>(ignbin(1L << 48, 0.5f)), binomial_mean, 40 * std::sqrt(binomial_mean / 2));
        EXPECT_NEAR(static_cast<double>(ignpoi(0x1p62f)), poisson_mean, 40 * std::sqrt(poisson_mean));
    }
}

TEST(DiscreteVariates, PoissonOfMeanZeroIsZero) {
    // Also as the very first call in a fresh process, before any table exists.
    EXPECT_EQ(ignpoi(0.0f), 0);
    ignpoi(3.0f);
    ignpoi(25.0f);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(ignpoi(0.0f), 0);
    }
}

TEST(DiscreteVariates, MultinomialCountsAddUpAndHaveTheirMeans) {
    setall(424242, 171717);
    float p[4] = {0.1f, 0.2f, 0.3f, 0.4f};  // the last entry is not read
    std::vector<double> sums(4, 0.0);
    const int draws = 5000;
    for (int i = 0; i < draws; ++i) {
        long ix[4] = {-1, -1, -1, -1};
        genmul(50, p, 4, ix);
        ASSERT_EQ(ix[0] + ix[1] + ix[2] + ix[3], 50);
        for (int k = 0; k < 4; ++k) {
            ASSERT_GE(ix[k], 0);
            sums[k] += static_cast<double>(ix[k]);
        }
    }
    for (int k = 0; k < 4; ++k) {
        const double mean = sums[k] / draws;
        const double expected = 50.0 * p[k];
        const double error = std::sqrt(50.0 * p[k] * (1.0 - p[k]) / draws);
        EXPECT_NEAR(mean, expected, 5.0 * error) << k;
    }
}

TEST(DiscreteVariates, MultinomialWithTwoCategoriesDrawsOneBinomial) {
    setall(7, 8);
    float p[2] = {0.3f, 123.0f};
    long ix[2];
    genmul(20, p, 2, ix);
    const long first = ix[0];
    EXPECT_EQ(ix[1], 20 - first);
    setall(7, 8);
    EXPECT_EQ(ignbin(20, 0.3f), first);
}

TEST(DiscreteVariates, MultinomialStopsWhenNothingIsLeft) {
    setall(3, 4);
    float p[3] = {0.99f, 0.005f, 0.0f};
    long ix[3];
    genmul(0, p, 3, ix);
    EXPECT_EQ(ix[0], 0);
    EXPECT_EQ(ix[1], 0);
    EXPECT_EQ(ix[2], 0);
}
