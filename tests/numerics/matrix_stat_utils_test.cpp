// Matrix statistics utilities: the truncated-series exponential against mpmath, the
// inverse-Wishart and multivariate normal log densities, and Wishart draws.
#include "numerics/matrix_stat_utils.h"

#include <gtest/gtest.h>

#include <newmat.h>

#include <cmath>
#include <vector>

#include "random/continuous.h"
#include "random/mt.h"
#include "sampling_checks.h"

namespace {

NEWMAT::SymmetricMatrix symmetric(int n, const std::vector<double>& lower_by_rows) {
    NEWMAT::SymmetricMatrix m(n);
    std::size_t next = 0;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= i; ++j) {
            m(i, j) = lower_by_rows[next++];
        }
    }
    return m;
}

NEWMAT::ColumnVector column(const std::vector<double>& values) {
    NEWMAT::ColumnVector v(static_cast<int>(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i) {
        v(static_cast<int>(i) + 1) = values[i];
    }
    return v;
}

std::vector<std::vector<double>> stochastic() { return {{0.2, 0.5, 0.3}, {0.1, 0.1, 0.8}, {0.6, 0.3, 0.1}}; }

}  // namespace

TEST(MatrixExp, MatchesTheExponentialOfTheUniformisedChain) {
    // mpmath (30 digits): expm(t * (Q - I)) for the stochastic Q above.
    struct Case {
        double t;
        double expected[9];
    };
    const Case cases[] = {
        {0.5,
         {0.69288150785249192, 0.17424115475582166, 0.13287733739168639, 0.07267968117268267, 0.66442040486080478,
          0.26289991396651258, 0.20270225774750886, 0.12223212412589117, 0.67506561812659993}},
        {5.0,
         {0.32071546067815609, 0.30386649809673211, 0.37541804122511185, 0.3186095475198884, 0.30347295615890119,
          0.37791749632121047, 0.32110900261598702, 0.30286671605829263, 0.37602428132572036}},
        {20.0,
         {0.32022471910406003, 0.30337078651486316, 0.37640449438107693, 0.32022471910105782, 0.30337078652024463,
          0.37640449437869772, 0.32022471909867856, 0.30337078651581484, 0.37640449438550666}},
    };
    for (const Case& c : cases) {
        std::vector<std::vector<double>> q = stochastic();
        stat_utils::matrix_exp(&q, c.t);
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                EXPECT_NEAR(q[i][j], c.expected[3 * i + j], 1e-13) << "t " << c.t << " (" << i << "," << j << ")";
            }
        }
    }
}

TEST(MatrixExp, IdentityCases) {
    std::vector<std::vector<double>> q = stochastic();
    stat_utils::matrix_exp(&q, 0.0);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            EXPECT_EQ(q[i][j], i == j ? 1.0 : 0.0);
        }
    }
    for (double t : {1.0, 7.5, 20.0}) {
        std::vector<std::vector<double>> identity = {{1, 0}, {0, 1}};
        stat_utils::matrix_exp(&identity, t);
        EXPECT_NEAR(identity[0][0], 1.0, 1e-13) << t;
        EXPECT_EQ(identity[0][1], 0.0);
        EXPECT_NEAR(identity[1][1], 1.0, 1e-13) << t;
    }
}

TEST(InverseWishartDensity, MatchesTheDensityFormula) {
    // mpmath: nu/2 ln|S| - (nu n / 2) ln 2 - ln Gamma_n(nu / 2) - (nu + n + 1)/2 ln|W| - tr(S W^-1) / 2,
    // with the exact ln pi; the routine's constants differ from it after the tenth digit.
    NEWMAT::SymmetricMatrix w = symmetric(3, {2.0, 0.3, 1.5, -0.4, 0.2, 1.1});
    NEWMAT::SymmetricMatrix s = symmetric(3, {1.0, 0.2, 0.8, 0.1, -0.1, 1.3});
    EXPECT_NEAR(stat_utils::log_inverse_Wishart_density(&w, 6.5, &s), -16.843164631707776, 1e-8);

    NEWMAT::SymmetricMatrix w2 = symmetric(2, {1.2, 0.4, 0.9});
    NEWMAT::SymmetricMatrix s2 = symmetric(2, {0.7, -0.2, 1.4});
    std::vector<double> w2_entries = {1.2, 0.4, 0.9};
    std::vector<double> s2_entries = {0.7, -0.2, 1.4};
    const double general = stat_utils::log_inverse_Wishart_density(&w2, 4.0, &s2);
    const double closed = stat_utils::log_inverse_Wishart_density_2D(&w2_entries, 4.0, &s2_entries);
    EXPECT_NEAR(general, -4.3984779080265586, 1e-8);
    EXPECT_NEAR(closed, -4.3984779080265586, 1e-8);
    EXPECT_NEAR(general, closed, 1e-9);
}

TEST(MultivariateNormalDensity, MatchesR) {
    // R: -0.5 * (log(det(S)) + 3 * log(2 * pi) + t(d) %*% solve(S) %*% d), d = x - mu.
    NEWMAT::SymmetricMatrix sigma = symmetric(3, {2.0, 0.3, 1.5, -0.4, 0.2, 1.1});
    NEWMAT::ColumnVector x = column({0.5, -1.0, 2.0});
    NEWMAT::ColumnVector mu = column({0.1, 0.2, 0.3});
    EXPECT_NEAR(stat_utils::log_mvt_norm_density(&x, &mu, &sigma), -5.9280131840939791, 1e-9);

    NEWMAT::SymmetricMatrix identity = symmetric(2, {1.0, 0.0, 1.0});
    NEWMAT::ColumnVector at_mean = column({0.25, -3.0});
    EXPECT_DOUBLE_EQ(stat_utils::log_mvt_norm_density(&at_mean, &at_mean, &identity), -0.5 * 2 * 1.8378770665399184);
}

TEST(Rwish, OneByOneIsTheScaleTimesAChiSquaredDraw) {
    NEWMAT::SymmetricMatrix s = symmetric(1, {2.5});
    NEWMAT::SymmetricMatrix w;
    {
        MT generator(0.31);
        Random::Set(generator);
        stat_utils::rwish(&w, 4, &s, false);
    }
    double chi;
    {
        MT generator(0.31);
        Random::Set(generator);
        chi = ChiSq(4, 0.0).Next();
    }
    EXPECT_NEAR(w(1, 1), 2.5 * chi, 1e-12);
    {
        MT generator(0.31);
        Random::Set(generator);
        stat_utils::rwish(&w, 4, &s, true);
    }
    EXPECT_NEAR(w(1, 1), 2.5 / chi, 1e-12);
}

TEST(Rwish, MeansOfWishartAndInverseWishartDraws) {
    MT generator(0.5772);
    Random::Set(generator);
    NEWMAT::SymmetricMatrix s = symmetric(2, {1.0, 0.3, 2.0});
    const int df = 8;
    const int draws = 3000;
    std::vector<double> plain[3], inverted[3];
    for (int k = 0; k < draws; ++k) {
        NEWMAT::SymmetricMatrix w;
        stat_utils::rwish(&w, df, &s, false);
        plain[0].push_back(w(1, 1));
        plain[1].push_back(w(2, 1));
        plain[2].push_back(w(2, 2));
        stat_utils::rwish(&w, df, &s, true);
        inverted[0].push_back(w(1, 1));
        inverted[1].push_back(w(2, 1));
        inverted[2].push_back(w(2, 2));
    }
    const double scale[3] = {1.0, 0.3, 2.0};
    for (int e = 0; e < 3; ++e) {
        const SampleMoments wishart = sample_moments(plain[e]);
        EXPECT_NEAR(wishart.mean, df * scale[e], 5 * wishart.mean_error) << e;
        // Inverse-Wishart mean s / (df - n - 1).
        const SampleMoments inverse = sample_moments(inverted[e]);
        EXPECT_NEAR(inverse.mean, scale[e] / (df - 3), 5 * inverse.mean_error) << e;
    }
}
