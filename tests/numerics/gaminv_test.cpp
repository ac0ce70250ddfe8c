// Inverse incomplete gamma ratio and its factor rcomp, against R and mpmath.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "numerics/gaminv.h"
#include "numerics/gratio.h"

namespace {

struct Inverse {
    double a, p, q, x;
};

// R: qgamma(p, a) (qgamma(q, a, lower=FALSE) for the last three rows);
// q is the double nearest 1 - p.
const Inverse inverses[] = {
    {0.5, 0.29999999999999999, 0.69999999999999996, 0.074235930916272716},
    {2.5, 0.01, 0.98999999999999999, 0.27714903836413857},
    {10, 0.5, 0.5, 9.6687146147141352},
    {100, 0.98999999999999999, 0.010000000000000009, 124.72256149072079},
    {0.05, 1e-10, 0.99999999989999999, 5.8446320572867292e-201},
    {10000, 0.29999999999999999, 0.69999999999999996, 9947.3192620195841},
    {0.2, 0.99999899999999997, 1.0000000000287557e-06, 10.352781918306054},
    {50, 1e-100, 1, 0.19558111701205563},
    {7.5, 0.90000000000000002, 0.099999999999999978, 11.153564790789344},
    {0.001, 0.69999999999999996, 0.30000000000000004, 7.0423151317794311e-156},
    {1.5, 1.0000000000000001e-05, 0.99999000000000005, 0.00056129129000092421},
    {3000000, 0.02, 0.97999999999999998, 2996443.8752605994},
    {3, 0.99999999999900002, 9.9999999999999998e-13, 34.052374190075753},
    {0.3, 1, 1e-200, 455.1352708640556},
};

TEST(Gaminv, MatchesRQuantilesAcrossShapesAndTails) {
    for (const Inverse& c : inverses) {
        double a = c.a, p = c.p, q = c.q, x0 = 0.0, x = -1.0;
        int ierr = -99;
        gaminv(&a, &x, &x0, &p, &q, &ierr);
        SCOPED_TRACE(testing::Message() << "a=" << c.a << " p=" << c.p << " q=" << c.q);
        EXPECT_GE(ierr, 0);
        EXPECT_LE(ierr, 20);
        EXPECT_LE(std::fabs(x - c.x), 1e-12 * c.x) << "got " << x << " want " << c.x;
    }
}

TEST(Gaminv, InitialGuessIsUsed) {
    double a = 10, p = 0.5, q = 0.5, x0 = 9.0, x = -1.0;
    int ierr = -99;
    gaminv(&a, &x, &x0, &p, &q, &ierr);
    EXPECT_GT(ierr, 0);
    EXPECT_NEAR(x, 9.6687146147141352, 1e-11);
}

TEST(Gaminv, ClosedFormsNeedNoIteration) {
    struct Case {
        double a, p, q, x;
    };
    // R: qexp(0.3), qexp(0.95).
    const Case cases[] = {
        {1.0, 0.3, 0.7, 0.35667494393873234},
        {1.0, 0.95, 0.05, 2.99573227355399},
        {4.0, 0.0, 1.0, 0.0},
        {4.0, 1.0, 0.0, DBL_MAX},
    };
    for (const Case& c : cases) {
        double a = c.a, p = c.p, q = c.q, x0 = 0.0, x = -1.0;
        int ierr = -99;
        gaminv(&a, &x, &x0, &p, &q, &ierr);
        EXPECT_EQ(ierr, 0) << "p=" << c.p;
        EXPECT_NEAR(x, c.x, 1e-15 * c.x) << "p=" << c.p;
    }
}

TEST(Gaminv, ErrorCodes) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double a, p, q, x0;
        int ierr;
        const char* why;
    };
    const Case cases[] = {
        {0.0, 0.5, 0.5, 0.0, -2, "a = 0"},
        {-1.0, 0.5, 0.5, 0.0, -2, "negative a"},
        {nan, 0.5, 0.5, 0.0, -2, "NaN a"},
        {2.0, 0.5, 0.6, 0.0, -4, "p + q != 1"},
        {2.0, nan, 0.5, 0.0, -4, "NaN p"},
        {2.0, 1.5, -0.5, 0.0, -4, "p outside [0, 1]"},
        {1e-5, 0.5, 0.5, 0.0, -3, "solution below the smallest double"},
        {1e22, 0.5, 0.5, 1e22, -8, "x/a = 1 beyond the resolution of gratio"},
    };
    for (const Case& c : cases) {
        double a = c.a, p = c.p, q = c.q, x0 = c.x0, x = -1.0;
        int ierr = -99;
        gaminv(&a, &x, &x0, &p, &q, &ierr);
        EXPECT_EQ(ierr, c.ierr) << c.why;
    }
}

// Each code where the published routine (ACM TOMS 654, GAMINV) gives it,
// with the value of x where one is given: R qgamma, except the first row
// (a + s sqrt(a) + (s^2 - 1)/3 + ..., the expansion to a^(-3/2), with
// s = qnorm(0.3), in mpmath: exact to far below one unit in the last place).
TEST(Gaminv, CodesAreThePublishedRoutines) {
    struct Case {
        double a, p, q, x0;
        int ierr;
        double x;
        double tolerance;  // relative
        const char* why;
    };
    const Case cases[] = {
        {1e30, 0.3, 0.7, 0.0, 0, 9.999999999999995e29, 1e-15, "large a: the expansion is taken as it is"},
        {1e30, 0.5, 0.5, 0.0, 0, 1e30, 1e-15, "large a at the median"},
        {1.5, 1e-5, 0.99999, 0.0, 0, 0.00056129129000092421, 1e-13, "small x: the series is taken as it is"},
        {0.3, 1.0, 1e-200, 0.0, 0, 455.1352708640556, 1e-13, "a < 1, large x: the expansion is taken as it is"},
        {10.0, 0.5, 0.5, 0.0, 2, 9.6687146147141352, 1e-14, "two Schroeder steps"},
        {10.0, 0.5, 0.5, 9.0, 3, 9.6687146147141352, 1e-14, "three steps from the guess"},
        {0.9, 2.758531617629232e-288, 1.0, 0.0, -6, 2.9569828903598606e-320, 1e-3,
         "twenty steps: a subnormal solution never settles to 1e-5"},
        {2.0, 0.5, 0.5, 100.0, -7, 0.0, 0.0, "a guess far above the root steps below zero"},
        {10.0, 0.5, 0.5, 1e-300, -8, 1e-300, 0.0, "P underflows at the guess"},
        {1e30, 0.3, 0.7, 1e30, -8, 1e30, 0.0, "a guess within 2e of a beyond amax"},
        {5.0, 1.0, 1e-300, 0.0, -8, 713.88597806494431, 1e-13, "q below 1e10 times the smallest double"},
        {0.99, 1e-300, 1.0, 0.0, -8, 9.2865942243713592e-304, 1e-12, "p below 1e10 times the smallest double"},
    };
    for (const Case& c : cases) {
        double a = c.a, p = c.p, q = c.q, x0 = c.x0, x = -1.0;
        int ierr = -99;
        gaminv(&a, &x, &x0, &p, &q, &ierr);
        EXPECT_EQ(ierr, c.ierr) << c.why;
        EXPECT_LE(std::fabs(x - c.x), c.tolerance * c.x) << c.why << ": x = " << x;
    }
}

TEST(Gaminv, RoundTripsThroughGratio) {
    for (double a : {0.01, 0.3, 0.9, 1.1, 3.0, 19.5, 20.5, 150.0, 1e5}) {
        for (double p : {1e-30, 1e-6, 0.1, 0.5, 0.8, 0.999}) {
            double q = 1.0 - p, aa = a, x0 = 0.0, x = -1.0;
            int ierr = -99;
            gaminv(&aa, &x, &x0, &p, &q, &ierr);
            if (std::log(p) / a < -750.0) {
                // x is about p^(1/a), below the smallest double.
                EXPECT_EQ(ierr, -3) << "a=" << a << " p=" << p;
                continue;
            }
            ASSERT_GE(ierr, 0) << "a=" << a << " p=" << p;
            double pn, qn;
            int ind = 0;
            gratio(&aa, &x, &pn, &qn, &ind);
            double tail = p <= 0.5 ? pn : qn;
            double want = p <= 0.5 ? p : q;
            // The tail's sensitivity to x bounds what a root can reach.
            EXPECT_LE(std::fabs(tail - want), 1e-11 * want + 1e-15 * std::fmax(1.0, a)) << "a=" << a << " p=" << p;
        }
    }
}

TEST(Rcomp, MatchesTheGammaDensityFactor) {
    struct Case {
        double a, x, want;
    };
    // mpmath (dps 40): exp(-x) x^a / gamma(a).
    const Case cases[] = {
        {0.3, 2.0, 5.5695616103440982e-2},     {5.5, 3.0, 4.0033788339819259e-1},   {30.0, 25.0, 1.3623835539035666},
        {200.0, 260.0, 3.0356077641113068e-3}, {0.7, 0.001, 6.1132548325409234e-3},
    };
    for (const Case& c : cases) {
        double a = c.a, x = c.x;
        EXPECT_LE(std::fabs(rcomp(&a, &x) - c.want), 1e-13 * c.want) << "a=" << c.a << " x=" << c.x;
    }
    double a = 25.0, zero = 0.0;
    EXPECT_EQ(rcomp(&a, &zero), 0.0);
}

}  // namespace
