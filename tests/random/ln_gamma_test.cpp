// Log-gamma and gamma against the C library and against values from python
// mpmath, with the sign, the errors and the trace frames.
#include "random/ln_gamma.h"

#include <gtest/gtest.h>
#include <myexcept.h>

#include <cmath>
#include <vector>

#include "support/ranvar_error_check.h"

namespace {

using RBD_COMMON::Invalid_argument;
using RBD_COMMON::Tracer;

bool NonPositiveInteger(double x) { return x <= 0.0 && x == std::floor(x); }

// A grid over all the ranges of the method, the negative side included.
std::vector<double> Grid() {
    std::vector<double> grid;
    for (double x = -20.05; x < 250.0; x += 0.0137) {
        if (!NonPositiveInteger(x)) grid.push_back(x);
    }
    for (const double x : {0.9, 1.1, 1.9, 2.1, 100.0, 1e-3, 1e5, -1e-8, -0.5, -10.5}) {
        grid.push_back(x);
    }
    return grid;
}

TEST(LnGammaTest, AgreesWithTheCLibraryOnTheGrid) {
    for (const double x : Grid()) {
        int sign = 0;
        int expected_sign = 0;
        const double expected = lgamma_r(x, &expected_sign);
        const double value = ln_gamma(x, sign);
        ASSERT_NEAR(value, expected, 2e-14 * std::fmax(1.0, std::fabs(expected))) << x;
        ASSERT_EQ(sign, expected_sign) << x;
    }
}

TEST(LnGammaTest, RelativeAccuracyNearItsZerosAtOneAndTwo) {
    for (double x = 0.5; x < 3.0; x += 0.00113) {
        int sign;
        EXPECT_NEAR(ln_gamma(x, sign), std::lgamma(x), 1e-14 * std::fabs(std::lgamma(x))) << x;
    }
    EXPECT_EQ(ln_gamma(1.0), 0.0);
    EXPECT_EQ(ln_gamma(2.0), 0.0);
}

TEST(LnGammaTest, ReferenceValues) {
    // python3 mpmath, mp.dps = 30: loggamma(x).real, and the sign of gamma(x).
    struct Case {
        double x, value;
        int sign;
    };
    const std::vector<Case> cases = {
        {0.5, 0.57236494292470008707, 1},                                          // ln sqrt(pi)
        {-0.5, 1.2655121234846453965, -1},                                         // ln 2 sqrt(pi)
        {100.0, 359.13420536957539878, 1},                                         // Stirling's series
        {99.9, 358.67423945197753761, 1},                                          // the Lanczos form
        {1.5, -0.12078223763524522235, 1},    {2.05, 0.021937091667171834985, 1},  // series about 2
        {0.95, 0.030968795237972897041, 1},                                        // series about 1
        {-2.5, -0.056243716497674050673, -1}, {-0.001, 6.9083333175150284318, -1},
        {150.25, 601.26150403249972598, 1},   {7.3, 7.1478925230222490328, 1},
    };
    for (const Case& c : cases) {
        int sign = 0;
        EXPECT_NEAR(ln_gamma(c.x, sign), c.value, 1e-14 * std::fmax(1.0, std::fabs(c.value))) << c.x;
        EXPECT_EQ(sign, c.sign) << c.x;
    }
    EXPECT_NEAR(ln_gamma_lanczos(50.0), 144.56574394634488601, 1e-12);  // mpmath loggamma(50)
}

TEST(LnGammaTest, GammaItself) {
    // python3 mpmath gamma(x).
    EXPECT_NEAR(rbd_gamma(5.0), 24.0, 24.0 * 1e-14);
    EXPECT_NEAR(rbd_gamma(-0.5), -3.5449077018110320546, 4e-14);  // -2 sqrt(pi)
    EXPECT_NEAR(rbd_gamma(-0.001), -1000.578205629358648, 1000.0 * 2e-14);
    EXPECT_NEAR(rbd_gamma(7.3), 1271.4236336639092731, 1271.0 * 2e-14);
    for (double x = -10.3; x < 171.0; x += 0.0731) {
        ASSERT_NEAR(rbd_gamma(x), std::tgamma(x), 2e-14 * std::fabs(std::tgamma(x))) << x;
    }
}

TEST(LnGammaTest, Errors) {
    EXPECT_TRUE(Raises<Invalid_argument>([] { ln_gamma(0.0); }, "Non-positive integer argument "));
    EXPECT_TRUE(Raises<Invalid_argument>(
        [] {
            int s;
            ln_gamma(-3.0, s);
        },
        "Non-positive integer argument "));
    EXPECT_TRUE(Raises<Invalid_argument>([] { ln_gamma(-0.5); }, "Negative gamma value "));
    EXPECT_TRUE(Raises<Invalid_argument>([] { ln_gamma(-2.5); }, "Negative gamma value "));
    EXPECT_NEAR(ln_gamma(-1.5), 0.86004701537648101451, 1e-14);  // gamma(-1.5) > 0 (mpmath)
    EXPECT_TRUE(Raises<Invalid_argument>([] { ln_gamma_gt_1(0.89); }, "Argument less than 1"));
    EXPECT_TRUE(Raises<Invalid_argument>([] { rbd_gamma(-2.0); }, "Non-positive integer argument "));
}

TEST(LnGammaTest, ErrorsNameTheCallsAndLeaveNoFrame) {
    Tracer outer("outer");
    EXPECT_TRUE(Raises<Invalid_argument>([] { ln_gamma(-0.5); }, "Trace: ln_gamma; outer."));
    EXPECT_TRUE(Raises<Invalid_argument>(
        [] {
            int s;
            ln_gamma(-4.0, s);
        },
        "Trace: ln_gamma(sign); outer."));
    EXPECT_TRUE(Raises<Invalid_argument>([] { ln_gamma_gt_1(0.5); }, "Trace: ln_gamma_gt_1 ; outer."));
    EXPECT_TRUE(Raises<Invalid_argument>([] { rbd_gamma(-1.0); }, "Trace: rbd_gamma; outer."));
    EXPECT_EQ(Tracer::last, &outer);
    ln_gamma(3.5);
    EXPECT_EQ(Tracer::last, &outer);
}

}  // namespace
