// Multivariate normal draws: the packed mean and Cholesky factor, the draw as
// mean + R^T z, and the sample covariance.
#include <gtest/gtest.h>

#include <vector>

#include "numerics/com.h"
#include "numerics/variates.h"

namespace {

// Covariance [[4, 2, 2], [2, 5, 3], [2, 3, 6]]; R: chol() gives rows (2, 1, 1), (0, 2, 1), (0, 0, 2).
std::vector<float> covariance() { return {4, 2, 2, 2, 5, 3, 2, 3, 6}; }

}  // namespace

TEST(Setgmn, PacksTheMeanAndTheRowsOfTheUpperFactor) {
    std::vector<float> mean = {1.0f, -2.0f, 0.5f};
    std::vector<float> covm = covariance();
    std::vector<float> parm(3 * 6 / 2 + 1, -1.0f);
    setgmn(mean.data(), covm.data(), 3, parm.data());
    EXPECT_EQ(parm, (std::vector<float>{3, 1.0f, -2.0f, 0.5f, 2, 1, 1, 2, 1, 2}));
}

TEST(Genmn, DrawsMeanPlusTransposedFactorTimesNormals) {
    std::vector<float> mean = {1.0f, -2.0f, 0.5f};
    std::vector<float> covm = covariance();
    std::vector<float> parm(10);
    setgmn(mean.data(), covm.data(), 3, parm.data());

    setall(314, 159);
    const double z0 = snorm(), z1 = snorm(), z2 = snorm();
    setall(314, 159);
    std::vector<float> x(3), work(3);
    genmn(parm.data(), x.data(), work.data());
    EXPECT_NEAR(x[0], 1.0 + 2 * z0, 1e-5);
    EXPECT_NEAR(x[1], -2.0 + 1 * z0 + 2 * z1, 1e-5);
    EXPECT_NEAR(x[2], 0.5 + 1 * z0 + 1 * z1 + 2 * z2, 1e-5);
    EXPECT_EQ(work[0], static_cast<float>(z0));
}

TEST(Genmn, SampleMomentsMatchTheCovariance) {
    std::vector<float> mean = {1.0f, -2.0f, 0.5f};
    std::vector<float> covm = covariance();
    std::vector<float> parm(10);
    setgmn(mean.data(), covm.data(), 3, parm.data());
    setall(2024, 12);
    const int n = 20000;
    double sums[3] = {0, 0, 0};
    double products[3][3] = {};
    std::vector<float> x(3), work(3);
    for (int k = 0; k < n; ++k) {
        genmn(parm.data(), x.data(), work.data());
        for (int i = 0; i < 3; ++i) {
            sums[i] += x[i];
            for (int j = 0; j < 3; ++j) {
                products[i][j] += static_cast<double>(x[i]) * x[j];
            }
        }
    }
    const std::vector<float> expected = covariance();
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(sums[i] / n, mean[i], 0.1);
        for (int j = 0; j < 3; ++j) {
            const double cov = products[i][j] / n - (sums[i] / n) * (sums[j] / n);
            // Standard error of a sample covariance is at most sqrt(36 / n) = 0.04 here.
            EXPECT_NEAR(cov, expected[i + 3 * j], 0.25) << i << "," << j;
        }
    }
}
