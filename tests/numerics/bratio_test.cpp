// Incomplete beta ratio: one case per method of evaluation against mpmath
// (60 digits): w = betainc(a, b, 0, x), w1 = betainc(b, a, 0, 1 - x), both
// regularized, for the double x; and every error code.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "numerics/beta_asymptotic.h"
#include "numerics/beta_series.h"
#include "numerics/bratio.h"

namespace {

struct Case {
    double a;
    double b;
    double x;
    double w;
    double w1;
};

// Which method of evaluation each case reaches is noted beside it.
const Case cases[] = {
    {1, 1, 0.3, 2.9999999999999999e-1, 7.0000000000000001e-1},         // power series
    {0.5, 0.5, 0.5, 5.0e-1, 5.0e-1},                                   // power series
    {2, 1e-17, 0.3, 5.6674943938732379e-19, 1.0},                      // tiny b
    {1e-17, 0.5, 0.2, 9.9999999999999997e-1, 2.8872709503576208e-17},  // tiny a
    {3, 0.5, 0.2, 2.7136820350937959e-3, 9.972863179649062e-1},        // series, b <= 1
    {0.5, 3, 0.4, 9.0757368846832488e-1, 9.242631153167512e-2},        // series in y
    {0.5, 5, 0.05, 5.1520878690160298e-1, 4.8479121309839702e-1},      // series, small x
    {0.5, 10, 0.2, 9.6309515706581535e-1, 3.6904842934184654e-2},      // shift, expansion in b
    {0.5, 30, 0.2, 9.9973168785236927e-1, 2.6831214763073035e-4},      // expansion in b
    {0.5, 0.8, 0.3, 4.8718556048052544e-1, 5.1281443951947456e-1},     // both <= 1, series
    {0.05, 0.9, 0.4, 9.4914039257583084e-1, 5.0859607424169157e-2},    // both <= 1, series in y
    {0.01, 0.9, 0.1, 9.7561490186613183e-1, 2.4385098133868175e-2},    // both <= 1, expansion
    {5, 3, 0.1, 1.7650000000000005e-4, 9.998235e-1},                   // series, b x <= 0.7
    {5, 10, 0.3, 4.1579881378064996e-1, 5.8420118621935004e-1},        // shift and series
    {10, 2, 0.75, 1.970973014831543e-1, 8.029026985168457e-1},         // two shifts, expansion
    {30, 2, 0.9, 1.6956463310086491e-1, 8.3043536689913509e-1},        // shift, expansion
    {50, 60, 0.4, 1.2470685834310036e-1, 8.7529314165689964e-1},       // continued fraction
    {200, 300, 0.401, 5.2061428455289216e-1, 4.7938571544710784e-1},   // large-parameter expansion
    {1000, 1000, 0.45, 3.6831988690075783e-6, 0.99999631680113099},    // continued fraction, tail
    {1000, 1000, 0.3, 4.2309250369077446e-78, 1.0},                    // far tail
    {0.3, 0.7, 0.99, 9.8531187210133167e-1, 1.4688127898668331e-2},    // x > 0.5: swapped
    {2, 3, 0.999999, 1.0, 3.9999970003450676e-18},                     // tiny upper tail
    {1000, 39.5, 0.45, 3.4970828580106126e-287, 1.0},                  // shift whose first term underflows
    {39.5, 1000, 0.55, 1.0, 3.4970828580101948e-287},                  // the same, swapped
};

TEST(Bratio, MatchesReferenceInEveryRegion) {
    for (const Case& c : cases) {
        double a = c.a;
        double b = c.b;
        double x = c.x;
        double y = 1.0 - c.x;
        double w = -1.0;
        double w1 = -1.0;
        int ierr = -1;
        bratio(&a, &b, &x, &y, &w, &w1, &ierr);
        EXPECT_EQ(ierr, 0) << c.a << ", " << c.b << ", " << c.x;
        EXPECT_NEAR(w, c.w, 1e-13 * c.w) << c.a << ", " << c.b << ", " << c.x;
        EXPECT_NEAR(w1, c.w1, 1e-13 * c.w1) << c.a << ", " << c.b << ", " << c.x;
    }
}

TEST(Bratio, EndpointsAndZeroParameters) {
    struct Edge {
        double a, b, x, y, w, w1;
    };
    for (Edge e : {Edge{2, 3, 0, 1, 0, 1}, Edge{2, 3, 1, 0, 1, 0}, Edge{0, 3, 0.4, 0.6, 1, 0},
                   Edge{2, 0, 0.4, 0.6, 0, 1}, Edge{1e-20, 3e-20, 0.5, 0.5, 0.75, 0.25}}) {
        double w = -1.0;
        double w1 = -1.0;
        int ierr = -1;
        bratio(&e.a, &e.b, &e.x, &e.y, &w, &w1, &ierr);
        EXPECT_EQ(ierr, 0);
        EXPECT_DOUBLE_EQ(w, e.w) << e.a << ", " << e.b << ", " << e.x;
        EXPECT_DOUBLE_EQ(w1, e.w1) << e.a << ", " << e.b << ", " << e.x;
    }
}

TEST(Bratio, ErrorCodesLeaveZeroResults) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Bad {
        double a, b, x, y;
        int ierr;
    };
    for (Bad c : {Bad{-1, 2, 0.5, 0.5, 1}, Bad{2, -1, 0.5, 0.5, 1}, Bad{0, 0, 0.5, 0.5, 2}, Bad{2, 3, -0.1, 1.1, 3},
                  Bad{2, 3, 1.1, -0.1, 3}, Bad{2, 3, 0.5, -0.1, 4}, Bad{2, 3, 0.5, 1.5, 4},
                  Bad{2, 3, 0.3, 0.7 + 1e-10, 5}, Bad{0, 3, 0, 1, 6}, Bad{2, 0, 1, 0, 7}, Bad{nan, 3, 0.5, 0.5, 1},
                  Bad{2, nan, 0.5, 0.5, 1}, Bad{2, 3, nan, 0.5, 3}, Bad{2, 3, 0.5, nan, 4}}) {
        double w = -1.0;
        double w1 = -1.0;
        int ierr = -1;
        bratio(&c.a, &c.b, &c.x, &c.y, &w, &w1, &ierr);
        EXPECT_EQ(ierr, c.ierr) << c.a << ", " << c.b << ", " << c.x << ", " << c.y;
        EXPECT_EQ(w, 0.0);
        EXPECT_EQ(w1, 0.0);
    }
}

TEST(Bratio, BreakdownIsReportedNotReturnedAsAProbability) {
    // An infinite shape passes the checks but no method can evaluate it.
    double a = std::numeric_limits<double>::infinity();
    double b = 1.0;
    double x = 0.5;
    double y = 0.5;
    double w = 0.0;
    double w1 = 0.0;
    int ierr = 0;
    bratio(&a, &b, &x, &y, &w, &w1, &ierr);
    EXPECT_EQ(ierr, 8);
    EXPECT_TRUE(std::isnan(w));
    EXPECT_TRUE(std::isnan(w1));
}

TEST(Bratio, IterationsEndOnNaN) {
    // A NaN must end every convergence loop and come out as the value.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    double eps = 1e-15;
    double a = 50.0, b = 60.0, x = 0.4, y = 0.6, lambda = nan;
    EXPECT_TRUE(std::isnan(bfrac(&a, &b, &x, &y, &lambda, &eps)));
    double big_a = 200.0, big_b = 300.0;
    EXPECT_TRUE(std::isnan(basym(&big_a, &big_b, &lambda, &eps)));
    double small_a = 1e-17, bad_x = nan;
    EXPECT_TRUE(std::isnan(apser(&small_a, &b, &bad_x, &eps)));
    double shape = 0.7, at = 3.0, r = nan, p = 0.0, q = 0.0;
    grat1(&shape, &at, &r, &p, &q, &eps);
    EXPECT_TRUE(std::isnan(q));
    double w = nan;
    int ierr = -1;
    double large = 40.0, half = 0.5, near_one = 0.95, near_zero = 0.05;
    bgrat(&large, &half, &near_one, &near_zero, &w, &eps, &ierr);
    EXPECT_TRUE(std::isnan(w));
}

}  // namespace
