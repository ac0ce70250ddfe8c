// Logarithm, log-gamma, log-beta and digamma helpers of the incomplete beta
// ratio against values computed with mpmath (50 digits), e.g.
// mpmath: log(beta(4.5, 50)).
#include <cmath>

#include <gtest/gtest.h>

#include "numerics/log_beta.h"
#include "numerics/log_helpers.h"
#include "numerics/psi.h"

namespace {

const double tolerance = 1e-14;

struct Unary {
    double x;
    double expected;
};

struct Binary {
    double a;
    double b;
    double expected;
};

void expect_relative(double got, double expected, const char* what, double at) {
    EXPECT_NEAR(got, expected, tolerance * std::fabs(expected)) << what << " at " << at;
}

TEST(BetaHelpers, LogarithmsNearOne) {
    // mpmath: log1p(x); the rational branch |x| <= 0.375 and the direct one.
    for (Unary c :
         {Unary{-0.3, -3.5667494393873236e-1}, Unary{1e-10, 9.9999999995000004e-11}, Unary{0.2, 1.8232155679395464e-1},
          Unary{0.375, 3.1845373111853462e-1}, Unary{2.5, 1.252762968495368}}) {
        double x = c.x;
        expect_relative(alnrel(&x), c.expected, "alnrel", c.x);
        expect_relative(dln1px(&x), c.expected, "dln1px", c.x);
        double minus_x = -c.x;
        expect_relative(dln1mx(&minus_x), c.expected, "dln1mx", -c.x);
    }
    // mpmath: x - log1p(x), one case per branch.
    for (Unary c :
         {Unary{-0.5, 1.9314718055994531e-1}, Unary{-0.25, 3.7682072451780927e-2}, Unary{-0.1, 5.3605156578263018e-3},
          Unary{0.1, 4.6898201956751405e-3}, Unary{0.3, 3.7635735532508945e-2}, Unary{0.8, 2.1221333509788101e-1}}) {
        double x = c.x;
        expect_relative(rlog1(&x), c.expected, "rlog1", c.x);
    }
    double small = 1e-12;
    expect_relative(dexpm1(&small), 1.0000000000005e-12, "dexpm1", small);
}

TEST(BetaHelpers, ScaledExponential) {
    // mpmath: exp(mu + x); the last two give 0 * inf if formed as exp(mu) exp(x).
    struct Case {
        int mu;
        double x;
        double expected;
    };
    for (Case c : {Case{700, -5.5, 4.1449345932657407e+301}, Case{-700, 3.25, 2.5428440953713975e-303},
                   Case{2, 1.5, 3.3115451958692314e+1}, Case{-3, -2.0, 6.7379469990854671e-3},
                   Case{-800, 805.5, 244.69193226422039}, Case{800, -805.5, 0.004086771438464067}}) {
        int mu = c.mu;
        double x = c.x;
        expect_relative(esum(&mu, &x), c.expected, "esum", c.x);
    }
}

TEST(BetaHelpers, LogGamma) {
    // mpmath: loggamma(1 + a) on both rational branches.
    for (Unary c : {Unary{-0.2, 1.520596783998376e-1}, Unary{0.3, -1.0817480950786047e-1},
                    Unary{0.6, -1.1259176569675579e-1}, Unary{1.25, 1.2487171489239659e-1}}) {
        double a = c.x;
        expect_relative(gamln1(&a), c.expected, "gamln1", c.x);
    }
    // mpmath: loggamma(a): small, reduced to [1, 2.25], product reduction, Stirling.
    for (Unary c : {Unary{0.1, 2.2527126517342059}, Unary{1.7, -9.5807697407065874e-2}, Unary{6.3, 5.3073428896247617},
                    Unary{10, 1.280182748008147e+1}, Unary{123.4, 4.6933609744219059e+2}}) {
        double a = c.x;
        expect_relative(gamln(&a), c.expected, "gamln", c.x);
        expect_relative(dlngam(&a), c.expected, "dlngam", c.x);
    }
    // mpmath: loggamma(a + b) for 1 <= a, b <= 2.
    for (Binary c : {Binary{1, 1.1, 4.5437738544485179e-2}, Binary{1.5, 1.5, 6.9314718055994531e-1},
                     Binary{2, 2, 1.791759469228055}}) {
        double a = c.a;
        double b = c.b;
        expect_relative(gsumln(&a, &b), c.expected, "gsumln", c.a);
    }
}

TEST(BetaHelpers, LogBeta) {
    // mpmath: log(beta(a, b)), through every reduction of the smaller and the
    // larger argument.
    for (Binary c : {Binary{0.5, 0.7, 9.1860627945968249e-1}, Binary{0.5, 20, -9.1925184440660399e-1},
                     Binary{1.5, 1.8, -1.178964688444352}, Binary{1.5, 5.5, -2.7422194820266299},
                     Binary{1.5, 30, -5.2349411382500105}, Binary{4.5, 6.5, -6.9881139423759315},
                     Binary{4.5, 50, -1.5303824940983843e+1}, Binary{4.5, 2000, -3.1754259374677882e+1},
                     Binary{9, 12, -1.4228705712134349e+1}, Binary{300, 0.25, -1.3761050726907457e-1}}) {
        double a = c.a;
        double b = c.b;
        expect_relative(betaln(&a, &b), c.expected, "betaln", c.a);
        expect_relative(dlnbet(&b, &a), c.expected, "dlnbet", c.a);
    }
    // mpmath: loggamma(b) - loggamma(a + b).
    for (Binary c : {Binary{0.5, 8, -1.0241058962355834}, Binary{3, 10, -7.1853870155804165},
                     Binary{20, 9, -5.7285140234436285e+1}, Binary{0.001, 1e5, -1.151292046996192e-2}}) {
        double a = c.a;
        double b = c.b;
        expect_relative(algdiv(&a, &b), c.expected, "algdiv", c.a);
    }
    // mpmath: del(a) + del(b) - del(a + b), del(x) = loggamma(x) - (x - 1/2) log x + x - log(2 pi)/2.
    for (Binary c : {Binary{8, 8, 1.5614874604334553e-2}, Binary{10, 300, 8.3395239972011445e-3},
                     Binary{1e4, 12, 6.9428500952239026e-3}}) {
        double a = c.a;
        double b = c.b;
        expect_relative(bcorr(&a, &b), c.expected, "bcorr", c.a);
    }
}

TEST(BetaHelpers, Digamma) {
    // mpmath: digamma(x): reflection, the small-argument form, the rational
    // range up to 3 and the asymptotic range.
    for (Unary c :
         {Unary{-2.7, -1.1153471291406896}, Unary{-0.3, 2.1133097796353989}, Unary{1e-10, -1.0000000000577215e+10},
          Unary{0.7, -1.2200235536979347}, Unary{2.9, 8.8249995063774389e-1}, Unary{3.5, 1.1031566406452432},
          Unary{50, 3.9019896734278922}, Unary{1e8, 1.8420680738952365e+1}}) {
        double x = c.x;
        expect_relative(psi(&x), c.expected, "psi", c.x);
    }
    // Poles give 0.
    for (double pole : {0.0, -1.0, -3.0}) {
        double x = pole;
        EXPECT_EQ(psi(&x), 0.0) << pole;
    }
}

TEST(BetaHelpers, DigammaBeyondTheLargestInt) {
    // mpmath: digamma(x) of the doubles given; the reduction of a negative
    // argument is exact up to 2^52, and 0.5/x still counts beyond 2^31.
    for (Unary c : {Unary{4.968e9, 22.326283181476945}, Unary{-2378600000.3, 23.872275708927291},
                    Unary{-3e15 - 0.5, 35.637388683578795}, Unary{1e300, 690.77552789821371}}) {
        double x = c.x;
        expect_relative(psi(&x), c.expected, "psi", c.x);
    }
    // Whole numbers, as every double is from 2^52 on, are poles.
    for (double pole : {-2378600000.0, -4503599627370496.0, -1e300}) {
        double x = pole;
        EXPECT_EQ(psi(&x), 0.0) << pole;
    }
}

}  // namespace
