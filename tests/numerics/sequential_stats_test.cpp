// Running means, variances and standard deviations, the array printers and log binomial
// coefficients.
#include "numerics/sequential_stats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

std::string printed(const std::function<void()>& print) {
    testing::internal::CaptureStdout();
    print();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST(SequentialStatistics, RunningUpdatesReachTheSampleStatistics) {
    // 2, 4, 9: mean 5, sample variance ((9 + 1 + 16) / 2) = 13.
    double mean = 0.0, var = 0.0, sd = 0.0;
    double n = 0.0;
    for (double x : {2.0, 4.0, 9.0}) {
        n += 1.0;
        sequential_mean(&mean, &x, n);
        sequential_variance(&var, &mean, &x, n);
        sequential_sd(&sd, &mean, &x, n);
    }
    EXPECT_DOUBLE_EQ(mean, 5.0);
    EXPECT_DOUBLE_EQ(var, 13.0);
    EXPECT_DOUBLE_EQ(sd, std::sqrt(13.0));
}

TEST(SequentialStatistics, LongerRunMatchesTheDirectFormula) {
    const std::vector<double> values = {1.5, -2.25, 3.0, 0.125, 8.0, -1.0, 2.5};
    double mean = 0.0, var = 0.0, sd = 0.0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        double x = values[i];
        const double n = static_cast<double>(i + 1);
        sequential_mean(&mean, &x, n);
        sequential_variance(&var, &mean, &x, n);
        sequential_sd(&sd, &mean, &x, n);
    }
    double sum = 0.0;
    for (double v : values) sum += v;
    const double direct_mean = sum / values.size();
    double ss = 0.0;
    for (double v : values) ss += (v - direct_mean) * (v - direct_mean);
    EXPECT_NEAR(mean, direct_mean, 1e-14);
    EXPECT_NEAR(var, ss / (values.size() - 1), 1e-12);
    EXPECT_NEAR(sd, std::sqrt(ss / (values.size() - 1)), 1e-12);
}

TEST(SequentialStatistics, CountsThatAreNotUpdatesLeaveTheSlotAlone) {
    for (double n : {0.0, 1.5, -3.0}) {
        double mean = 4.0, x = 10.0, var = 7.0, sd = 7.0;
        sequential_variance(&var, &mean, &x, n);
        sequential_sd(&sd, &mean, &x, n);
        EXPECT_EQ(var, 7.0) << n;
        EXPECT_EQ(sd, 7.0) << n;
    }
}

TEST(SequentialStatistics, VectorFormsUpdateEveryElement) {
    double mean[2] = {0, 0}, var[2] = {0, 0}, sd[2] = {0, 0};
    const double rows[3][2] = {{2, 1}, {4, 1}, {9, 4}};
    for (int r = 0; r < 3; ++r) {
        double x[2] = {rows[r][0], rows[r][1]};
        const double n = r + 1;
        sequential_mean_vec(mean, x, n, 2);
        sequential_variance_vec(var, mean, x, n, 2);
        sequential_sd_vec(sd, mean, x, n, 2);
    }
    EXPECT_DOUBLE_EQ(mean[0], 5.0);
    EXPECT_DOUBLE_EQ(mean[1], 2.0);
    EXPECT_DOUBLE_EQ(var[0], 13.0);
    EXPECT_DOUBLE_EQ(var[1], 3.0);
    EXPECT_DOUBLE_EQ(sd[1], std::sqrt(3.0));

    double untouched[1] = {5.0};
    double x[1] = {1.0};
    sequential_variance_vec(untouched, x, x, 3.0, 0);
    sequential_mean_vec(untouched, x, 3.0, -1);
    EXPECT_EQ(untouched[0], 5.0);
}

TEST(ArrayPrinters, MatricesAndThreeDimensionalArrays) {
    double m[4] = {1, 2.5, -3, 4};
    EXPECT_EQ(printed([&] { print_mat_double(m, 2, 2); }), "1.000000 2.500000 \n-3.000000 4.000000 \n\n");
    EXPECT_EQ(printed([&] { print_mat_double(m, 0, 3); }), "\n");
    int k[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(printed([&] { print_mat_int(k, 2, 3); }), "1 2 3 \n4 5 6 \n\n");
    EXPECT_EQ(printed([&] { print_3D_array_int(k, 3, 1, 2); }), "1 2 \n\n3 4 \n\n5 6 \n\n\n");
    double a[4] = {0.5, 1, 1.5, 2};
    EXPECT_EQ(printed([&] { print_3D_array_double(a, 2, 2, 1); }),
              "0.500000 \n1.000000 \n\n1.500000 \n2.000000 \n\n\n");
}

TEST(Lchoose, LogBinomialCoefficients) {
    // R: lchoose(50, 25), lchoose(1000, 10), lgamma(11.5) - lgamma(4.2) - lgamma(8.3).
    EXPECT_NEAR(lchoose(5, 2), std::log(10.0), 1e-13);
    EXPECT_NEAR(lchoose(50, 25), 32.470556505811984, 1e-11);
    EXPECT_NEAR(lchoose(1000, 10), 53.927997037888275, 1e-11);
    EXPECT_NEAR(lchoose(10.5, 3.2), 5.1076779684300568, 1e-12);
    EXPECT_NEAR(lchoose(7, 0), 0.0, 1e-14);
    EXPECT_NEAR(lchoose(7, 7), 0.0, 1e-14);
    EXPECT_EQ(lchoosef(20.0f, 7.0f), static_cast<float>(11.258291246564648));  // R: log(choose(20, 7))
}

// mpmath: log(gamma(n + 1) / (gamma(k + 1) gamma(n - k + 1))).
TEST(Lchoose, NonIntegerKBeyondTheWholeRange) {
    struct Case {
        double n, k, expected;
    };
    const Case cases[] = {
        {5, 5.5, -1.4474352599997956},
        {5, -0.5, -1.4474352599997956},
        {5, -0.999, -8.6970656470533204},
        {0.5, -0.25, -0.23966206804605504},
        {10, 10.3, -0.97063535483010083},
        // A negative gamma argument with a positive coefficient.
        {5, 7.5, -5.6218225298954327},
        {-1.5, 2, 0.62860865942237414},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(lchoose(c.n, c.k), c.expected, 1e-13 * (1.0 + std::fabs(c.expected))) << c.n << " " << c.k;
    }
}

TEST(Lchoose, ZeroIsMinusInfinityAndNoRealLogarithmIsNaN) {
    const double minus_infinity = -std::numeric_limits<double>::infinity();
    EXPECT_EQ(lchoose(5, 6), minus_infinity);
    EXPECT_EQ(lchoose(5, -1), minus_infinity);
    EXPECT_EQ(lchoose(2.5, -3), minus_infinity);
    EXPECT_EQ(lchoosef(3.0f, 4.0f), -std::numeric_limits<float>::infinity());
    // Negative coefficients: C(5, -1.5) = -0.0181, C(-0.5, 3) = -0.3125, C(-2, 1) = -2.
    EXPECT_TRUE(std::isnan(lchoose(5, -1.5)));
    EXPECT_TRUE(std::isnan(lchoose(-0.5, 3)));
    EXPECT_TRUE(std::isnan(lchoose(-2, 1)));
}
