// Auxiliary functions of the distribution library against R and mpmath:
// polynomial evaluation, log-gamma, the log normal tail, Stirling remainders
// and the normal quantile's start value.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "numerics/auxiliary_functions.h"
#include "numerics/normal_quantile.h"
#include "numerics/support/fatal_capture.h"

namespace {

void expect_relative(double got, double want, double rel, double at) {
    EXPECT_LE(std::fabs(got - want), rel * std::fabs(want)) << "at " << at << ": got " << got << " want " << want;
}

TEST(Devlpl, HornerFromTheConstantTerm) {
    double a[3] = {1.0, 2.0, 3.0};
    int n = 3;
    double x = 2.0;
    EXPECT_EQ(devlpl(a, &n, &x), 17.0);
    int one = 1;
    EXPECT_EQ(devlpl(a, &one, &x), 1.0);
    int none = 0;
    EXPECT_EQ(devlpl(a, &none, &x), 0.0);
}

TEST(Alngam, MatchesRLgamma) {
    struct Case {
        double x, want;
    };
    // R: lgamma(x); the rows cover the reduction to [2, 3] from below and
    // above, the shift to 12 and Stirling's series.
    const Case cases[] = {
        {1e-8, 18.420680738180209}, {0.3, 1.0957979948180756},        {1.7, -0.095807697407065878},
        {2.5, 0.28468287047291918}, {3, 0.69314718055994529},         {4.2, 2.04855563696059},
        {6, 4.7874917427820458},    {6.5, 5.6625620598571418},        {10, 12.801827480081469},
        {11.9, 17.258477450595525}, {12.5, 18.734347511936448},       {100, 359.1342053695754},
        {1e10, 220258509288.81058}, {1e300, 6.8977552789821374e+302},
    };
    for (const Case& c : cases) {
        double x = c.x;
        expect_relative(alngam(&x), c.want, 1e-13, c.x);
    }
    // The rational approximation's constant terms differ by 2.7e-12.
    double one = 1.0;
    EXPECT_NEAR(alngam(&one), 0.0, 1e-14);
    double ten = 10.0;
    EXPECT_NEAR(alngam(&ten), std::log(362880.0), 1e-13);
}

TEST(Alngam, OutsideTheDomainGivesNaNAtOnce) {
    for (double x : {0.0, -1.0, -1e300, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_TRUE(std::isnan(alngam(&x))) << "x=" << x;
    }
    double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(alngam(&inf), inf);
}

TEST(Dlanor, MatchesRLogNormalTail) {
    struct Case {
        double x, want;
    };
    // R: pnorm(-abs(x), log=TRUE).
    const Case cases[] = {
        {5.0, -15.064998393988725},
        {-7.5, -31.075890902890002},
        {30.0, -454.32124395634321},
        {1e5, -5000000012.4318638},
    };
    for (const Case& c : cases) {
        double x = c.x;
        // The divergent asymptotic series is cut after twelve terms; near
        // x = 5 that leaves errors of a few 1e-6 in the logarithm.
        double rel = c.x == 5.0 ? 1e-6 : std::fabs(c.x) < 10.0 ? 1e-11 : 1e-14;
        expect_relative(dlanor(&x), c.want, rel, c.x);
    }
}

TEST(Dlanor, SmallArgumentEndsTheProcessWithItsMessage) {
    {
        FatalCapture capture;
        for (double x : {4.9, -4.9, std::numeric_limits<double>::quiet_NaN()}) {
            testing::internal::CaptureStderr();
            EXPECT_THROW(dlanor(&x), NumericsFatal);
            EXPECT_EQ(testing::internal::GetCapturedStderr(), " Argument too small in DLANOR\n");
        }
    }
    EXPECT_EXIT(
        {
            double x = 4.9;
            dlanor(&x);
        },
        testing::ExitedWithCode(1), "Argument too small in DLANOR");
}

TEST(Dstrem, MatchesLogGammaMinusStirling) {
    struct Case {
        double z, want;
    };
    // mpmath (dps 40): loggamma(z) - ((z - 1/2) log z - z + log sqrt(2 pi)).
    const Case cases[] = {
        {0.5, 1.5342640972002735e-1}, {1.0, 8.1061466795327258e-2}, {3.3, 2.5177132967245103e-2},
        {6.0, 1.3876128823070748e-2}, {6.5, 1.2810465242920227e-2}, {20.0, 4.1663196919969225e-3},
        {1e5, 8.3333333333055556e-7},
    };
    for (const Case& c : cases) {
        double z = c.z;
        // Below 6 the remainder is a difference of two numbers of size
        // ln Gamma; just above, the ten-term series is good to a few 1e-14.
        expect_relative(dstrem(&z), c.want, c.z <= 6.0 ? 1e-12 : 1e-13, c.z);
    }
}

TEST(Dstrem, NonPositiveArgumentEndsTheProcessWithItsMessage) {
    FatalCapture capture;
    for (double z : {0.0, -2.0, std::numeric_limits<double>::quiet_NaN()}) {
        testing::internal::CaptureStderr();
        EXPECT_THROW(dstrem(&z), NumericsFatal);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Zero or negative argument in DSTREM\n");
    }
}

TEST(Dbetrm, CombinesTheThreeRemainders) {
    struct Case {
        double a, b, want;
    };
    // mpmath: dstrem(a) + dstrem(b) - dstrem(a + b) with dstrem as above.
    const Case cases[] = {
        {2.0, 3.0, 5.2373930450586441e-2},
        {7.0, 0.5, 1.542185599077122e-1},
        {10.0, 40.0, 8.7472089246819275e-3},
    };
    for (const Case& c : cases) {
        double a = c.a, b = c.b;
        expect_relative(dbetrm(&a, &b), c.want, 1e-12, c.a);
    }
}

TEST(Stvaln, RationalStartIsCloseToRQnormAndSymmetric) {
    struct Case {
        double p, want;
    };
    // R: qnorm(p); the approximation is good to about 4.5e-4 absolute.
    const Case cases[] = {
        {0.975, 1.9599639845400536},
        {0.3, -0.52440051270804067},
        {1e-10, -6.3613409024040557},
        {0.999, 3.0902323061678132},
        {0.5, 0.0},
    };
    for (const Case& c : cases) {
        double p = c.p;
        EXPECT_NEAR(stvaln(&p), c.want, 5e-4) << "p=" << c.p;
    }
    double low = 0.2;
    double high = 0.8;
    EXPECT_DOUBLE_EQ(stvaln(&low), -stvaln(&high));
}

}  // namespace
