// The distribution functions other than chi-squared: forward values, every
// inverse mode and the argument checks. Reference values are from R 4
// (print(..., digits = 17)); each table row names the R call.
#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "distribution_calls.h"

namespace {

const double nan = std::numeric_limits<double>::quiet_NaN();

// Tolerances: full precision for the functions built on the incomplete gamma
// and beta ratios and the normal approximation, and for the non-central
// chi-squared; R's own non-central F is good to about 1e-9 (the high-precision
// checks of the non-central functions are in noncentral_test.cpp).
const double exact = 1e-13;
const double chn_accuracy = 1e-13;
const double fnc_accuracy = 1e-9;

struct Forward {
    const char* reference;
    Routine routine;
    std::vector<double> args;  // p and q are outputs: given as 0
    double p;
    double q;
    double tolerance;  // relative, or absolute for the non-central series
    bool absolute;
};

const std::vector<Forward> forward_cases = {
    {"pgamma(1, 1, rate = 1)", Routine::gam, {0, 0, 1, 1, 1}, 0.63212055882855767, 0.36787944117144233, exact, false},
    {"pgamma(0.5, 0.3, rate = 2)",
     Routine::gam,
     {0, 0, 0.5, 0.3, 2},
     0.91567415624110926,
     0.084325843758890781,
     exact,
     false},
    {"pgamma(20, 25, rate = 1.1)",
     Routine::gam,
     {0, 0, 20, 25, 1.1},
     0.28828052442293256,
     0.7117194755770675,
     exact,
     false},
    {"pgamma(3, 100, rate = 30)",
     Routine::gam,
     {0, 0, 3, 100, 30},
     0.15822098918643021,
     0.84177901081356976,
     exact,
     false},
    {"pgamma(0.01, 0.5, rate = 1)",
     Routine::gam,
     {0, 0, 0.01, 0.5, 1},
     0.1124629160182849,
     0.88753708398171505,
     exact,
     false},
    {"pgamma(0, 2)", Routine::gam, {0, 0, 0, 2, 1}, 0.0, 1.0, exact, false},
    {"ppois(0, 1)", Routine::poi, {0, 0, 0, 1}, 0.36787944117144233, 0.63212055882855767, exact, false},
    {"ppois(3, 2.5)", Routine::poi, {0, 0, 3, 2.5}, 0.75757613313306593, 0.24242386686693412, exact, false},
    {"ppois(40, 25)", Routine::poi, {0, 0, 40, 25}, 0.99796440071901782, 0.0020355992809821784, exact, false},
    {"pgamma(4, 3.5, lower = FALSE) (s = 2.5)",
     Routine::poi,
     {0, 0, 2.5, 4},
     0.33259390259930788,
     0.66740609740069212,
     exact,
     false},
    {"ppois(3, 0)", Routine::poi, {0, 0, 3, 0}, 1.0, 0.0, exact, false},
    {"pbinom(4, 10, 0.3)",
     Routine::bin,
     {0, 0, 4, 10, 0.3, 0.7},
     0.84973166740000017,
     0.15026833259999989,
     exact,
     false},
    {"pbinom(0, 1, 0.3)", Routine::bin, {0, 0, 0, 1, 0.3, 0.7}, 0.69999999999999996, 0.29999999999999999, exact, false},
    {"pbinom(70, 200, 0.4)",
     Routine::bin,
     {0, 0, 70, 200, 0.4, 0.6},
     0.084397782041211677,
     0.91560221795878838,
     exact,
     false},
    {"pbeta(0.2, 3.5, 5, lower = FALSE) (s = 2.5, n = 7.5)",
     Routine::bin,
     {0, 0, 2.5, 7.5, 0.2, 0.8},
     0.90754628120422631,
     0.092453718795773743,
     exact,
     false},
    {"pbinom(10, 10, 0.3)", Routine::bin, {0, 0, 10, 10, 0.3, 0.7}, 1.0, 0.0, exact, false},
    {"pnbinom(3, 5, 0.4)",
     Routine::nbn,
     {0, 0, 3, 5, 0.4, 0.6},
     0.17367040000000014,
     0.82632959999999989,
     exact,
     false},
    {"pnbinom(30, 2.5, 0.1)",
     Routine::nbn,
     {0, 0, 30, 2.5, 0.1, 0.9},
     0.75506654629993597,
     0.24493345370006409,
     exact,
     false},
    {"pnorm(0)", Routine::nor, {0, 0, 0, 0, 1}, 0.5, 0.5, exact, false},
    {"pnorm(1.3, 0.2, 0.7)",
     Routine::nor,
     {0, 0, 1.3, 0.2, 0.7},
     0.94195843313067251,
     0.058041566869327474,
     exact,
     false},
    {"pnorm(-12)", Routine::nor, {0, 0, -12, 0, 1}, 1.776482112077679e-33, 1.0, exact, false},
    {"pnorm(3)", Routine::nor, {0, 0, 3, 0, 1}, 0.9986501019683699, 0.0013498980316300946, exact, false},
    {"pbeta(0.3, 2, 5)", Routine::bet, {0, 0, 0.3, 0.7, 2, 5}, 0.57982500000000015, 0.42017499999999985, exact, false},
    {"pbeta(0.999, 0.5, 0.5)",
     Routine::bet,
     {0, 0, 0.999, 0.001, 0.5, 0.5},
     0.97986495836662257,
     0.020135041633377496,
     exact,
     false},
    {"pbeta(0.45, 300, 350)",
     Routine::bet,
     {0, 0, 0.45, 0.55, 300, 350},
     0.27805321735169208,
     0.72194678264830792,
     exact,
     false},
    {"pf(2, 5, 9)", Routine::f, {0, 0, 2, 5, 9}, 0.82729012358556409, 0.17270987641443597, exact, false},
    {"pf(0.3, 1, 1)", Routine::f, {0, 0, 0.3, 1, 1}, 0.31900572003997701, 0.68099427996002304, exact, false},
    {"pf(1.1, 120, 80)", Routine::f, {0, 0, 1.1, 120, 80}, 0.67384290708992822, 0.32615709291007178, exact, false},
    {"pt(0, 3)", Routine::t, {0, 0, 0, 3}, 0.5, 0.5, exact, false},
    {"pt(1.5, 7)", Routine::t, {0, 0, 1.5, 7}, 0.91135075650501496, 0.088649243494985014, exact, false},
    {"pt(-2.2, 2.5)", Routine::t, {0, 0, -2.2, 2.5}, 0.066456992709834517, 0.93354300729016548, exact, false},
    {"pt(4, 1000)", Routine::t, {0, 0, 4, 1000}, 0.99996599504039563, 3.4004959604390742e-05, exact, false},
    {"pchisq(3, 2, ncp = 1.5)",
     Routine::chn,
     {0, 0, 3, 2, 1.5},
     0.55131414139378521,
     0.44868585860621479,
     chn_accuracy,
     true},
    {"pchisq(20, 5, ncp = 12)",
     Routine::chn,
     {0, 0, 20, 5, 12},
     0.69031275256330804,
     0.3096872474366919,
     chn_accuracy,
     true},
    {"pchisq(1, 0.5, ncp = 0.3)",
     Routine::chn,
     {0, 0, 1, 0.5, 0.3},
     0.76578936887954074,
     0.23421063112045912,
     chn_accuracy,
     true},
    {"pchisq(250, 10, ncp = 200)",
     Routine::chn,
     {0, 0, 250, 10, 200},
     0.91438843225946242,
     0.085611567740537575,
     chn_accuracy,
     true},
    {"pchisq(3, 2) (ncp = 0: central)",
     Routine::chn,
     {0, 0, 3, 2, 0},
     0.77686983985157021,
     0.22313016014842982,
     exact,
     false},
    {"pf(2, 4, 12, ncp = 3)",
     Routine::fnc,
     {0, 0, 2, 4, 12, 3},
     0.60702476799567617,
     0.39297523200432377,
     fnc_accuracy,
     true},
    {"pf(1, 2, 3, ncp = 0.5)",
     Routine::fnc,
     {0, 0, 1, 2, 3, 0.5},
     0.46972021323572338,
     0.53027978676427656,
     fnc_accuracy,
     true},
    {"pf(5, 10, 20, ncp = 30)",
     Routine::fnc,
     {0, 0, 5, 10, 20, 30},
     0.68898460891341207,
     0.31101539108658793,
     fnc_accuracy,
     true},
    {"pf(2, 5, 9) (ncp = 0: central)",
     Routine::fnc,
     {0, 0, 2, 5, 9, 0},
     0.82729012358556409,
     0.17270987641443597,
     exact,
     false},
    // t beyond the square root of the largest double; mpmath (60 digits):
    // betainc(df/2, 1/2, 0, df/(df + t^2), regularized)/2.
    {"mpmath: t = 1e200, df = 1", Routine::t, {0, 0, 1e200, 1}, 1.0, 3.1830988618379067e-201, exact, false},
    {"mpmath: t = -1e300, df = 1", Routine::t, {0, 0, -1e300, 1}, 3.1830988618379065e-301, 1.0, exact, false},
    {"mpmath: t = 1e200, df = 0.5", Routine::t, {0, 0, 1e200, 0.5}, 1.0, 3.207009754142229e-101, exact, false},
    {"mpmath: t = 1.5e154, df = 1 (t^2 finite)",
     Routine::t,
     {0, 0, 1.5e154, 1},
     1.0,
     2.1220659078919377e-155,
     exact,
     false},
};

TEST(DistributionFunctions, ForwardValuesMatchR) {
    for (const Forward& c : forward_cases) {
        Result r = call(c.routine, 1, c.args);
        ASSERT_EQ(r.status, 0) << c.reference;
        const double p_tol = c.absolute ? c.tolerance : c.tolerance * c.p;
        const double q_tol = c.absolute ? c.tolerance : c.tolerance * c.q;
        EXPECT_NEAR(r.args[0], c.p, p_tol) << c.reference;
        EXPECT_NEAR(r.args[1], c.q, q_tol) << c.reference;
    }
}

struct Inverse {
    const char* reference;
    Routine routine;
    int which;
    std::vector<double> args;  // the sought argument is given as 0
    int sought;                // its index in args
    double expected;
    double tolerance;  // relative
    int partner;       // index of its complement 1 - value, or -1
};

// The search stops within a relative 1e-8 of the root; the non-central
// roots also carry the error of their series.
const double search = 1e-8;

const std::vector<Inverse> inverse_cases = {
    {"qgamma(0.3, 2.5, rate = 0.5)", Routine::gam, 2, {0.3, 0.7, 0, 2.5, 0.5}, 2, 2.9999081327599066, search, -1},
    {"qgamma(0.999, 0.2, rate = 3)", Routine::gam, 2, {0.999, 0.001, 0, 0.2, 3}, 2, 1.3673214415795549, search, -1},
    {"shape 3 from pgamma(4, 3, rate = 0.7)",
     Routine::gam,
     3,
     {0.5305463165333173, 1 - 0.5305463165333173, 4, 0, 0.7},
     3,
     3.0,
     search,
     -1},
    {"scale 0.7 from pgamma(4, 3, rate = 0.7)",
     Routine::gam,
     4,
     {0.5305463165333173, 1 - 0.5305463165333173, 4, 3, 0},
     4,
     0.7,
     search,
     -1},
    {"s 3 from ppois(3, 2.5)", Routine::poi, 2, {0.75757613313306593, 0.24242386686693412, 0, 2.5}, 2, 3.0, search, -1},
    {"xlam 2.5 from ppois(3, 2.5)",
     Routine::poi,
     3,
     {0.75757613313306593, 0.24242386686693412, 3, 0},
     3,
     2.5,
     search,
     -1},
    {"qnorm(0.975, 1, 2)", Routine::nor, 2, {0.975, 0.025, 0, 1, 2}, 2, 4.9199279690801072, search, -1},
    {"qnorm(1e-10)", Routine::nor, 2, {1e-10, 1 - 1e-10, 0, 0, 1}, 2, -6.3613409024040557, search, -1},
    {"mean 1 from qnorm(0.975, 1, 2)", Routine::nor, 3, {0.975, 0.025, 4.9199279690801072, 0, 2}, 3, 1.0, search, -1},
    {"sd 2 from qnorm(0.975, 1, 2)", Routine::nor, 4, {0.975, 0.025, 4.9199279690801072, 1, 0}, 4, 2.0, search, -1},
    {"qbeta(0.2, 2, 5)", Routine::bet, 2, {0.2, 0.8, 0, 0, 2, 5}, 2, 0.13988068826995789, search, 3},
    {"qbeta(0.9, 0.5, 3) (solved through y)",
     Routine::bet,
     2,
     {0.9, 0.1, 0, 0, 0.5, 3},
     2,
     0.38624888180536909,
     search,
     3},
    {"a 2 from pbeta(0.3, 2, 5)", Routine::bet, 3, {0.579825, 0.420175, 0.3, 0.7, 0, 5}, 4, 2.0, search, -1},
    {"b 1.5 from pbeta(0.7, 4, 1.5)",
     Routine::bet,
     4,
     {0.38889567279353265, 1 - 0.38889567279353265, 0.7, 0.3, 4, 0},
     5,
     1.5,
     search,
     -1},
    {"s 4 from pbinom(4, 10, 0.3)",
     Routine::bin,
     2,
     {0.84973166740000017, 0.15026833259999989, 0, 10, 0.3, 0.7},
     2,
     4.0,
     search,
     -1},
    {"s 1 from pbinom(1, 3, 0.6) (fewer than 5 trials)",
     Routine::bin,
     2,
     {0.35200000000000004, 1 - 0.35200000000000004, 0, 3, 0.6, 0.4},
     2,
     1.0,
     search,
     -1},
    {"xn 10 from pbinom(4, 10, 0.3)",
     Routine::bin,
     3,
     {0.84973166740000017, 0.15026833259999989, 4, 0, 0.3, 0.7},
     3,
     10.0,
     search,
     -1},
    {"pr 0.3 from pbinom(4, 10, 0.3)",
     Routine::bin,
     4,
     {0.84973166740000017, 0.15026833259999989, 4, 10, 0, 0},
     4,
     0.3,
     search,
     5},
    {"s 3 from pnbinom(3, 5, 0.4)",
     Routine::nbn,
     2,
     {0.17367040000000014, 0.82632959999999989, 0, 5, 0.4, 0.6},
     2,
     3.0,
     search,
     -1},
    {"xn 5 from pnbinom(3, 5, 0.4)",
     Routine::nbn,
     3,
     {0.17367040000000014, 0.82632959999999989, 3, 0, 0.4, 0.6},
     3,
     5.0,
     search,
     -1},
    {"pr 0.4 from pnbinom(3, 5, 0.4)",
     Routine::nbn,
     4,
     {0.17367040000000014, 0.82632959999999989, 3, 5, 0, 0},
     4,
     0.4,
     search,
     5},
    {"qf(0.95, 5, 9)", Routine::f, 2, {0.95, 0.05, 0, 5, 9}, 2, 3.4816586539015217, search, -1},
    {"dfn 5 from pf(0.5, 5, 9)",
     Routine::f,
     3,
     {0.2304086537503382, 0.76959134624966175, 0.5, 0, 9},
     3,
     5.0,
     search,
     -1},
    {"dfd 9 from pf(2, 5, 9)", Routine::f, 4, {0.82729012358556409, 0.17270987641443597, 2, 5, 0}, 4, 9.0, search, -1},
    {"qt(0.975, 7)", Routine::t, 2, {0.975, 0.025, 0, 7}, 2, 2.3646242515927844, search, -1},
    {"qt(0.01, 2.5)", Routine::t, 2, {0.01, 0.99, 0, 2.5}, 2, -5.3531111730308893, search, -1},
    {"df 7 from pt(1.5, 7)", Routine::t, 3, {0.91135075650501496, 0.088649243494985014, 1.5, 0}, 3, 7.0, search, -1},
    {"qchisq(0.5, 2, ncp = 1.5)", Routine::chn, 2, {0.5, 0, 0, 2, 1.5}, 2, 2.6255877419431348, 1e-4, -1},
    {"df 5 from pchisq(20, 5, ncp = 12)", Routine::chn, 3, {0.69031275256330804, 0, 20, 0, 12}, 3, 5.0, 1e-4, -1},
    {"ncp 12 from pchisq(20, 5, ncp = 12)", Routine::chn, 4, {0.69031275256330804, 0, 20, 5, 0}, 4, 12.0, 1e-4, -1},
    {"qf(0.5, 4, 12, ncp = 3)", Routine::fnc, 2, {0.5, 0, 0, 4, 12, 3}, 2, 1.6146921604168154, 1e-3, -1},
    {"dfn 4 from pf(2, 4, 12, ncp = 3)", Routine::fnc, 3, {0.60702476799567617, 0, 2, 0, 12, 3}, 3, 4.0, 1e-3, -1},
    {"dfd 12 from pf(2, 4, 12, ncp = 3)", Routine::fnc, 4, {0.60702476799567617, 0, 2, 4, 0, 3}, 4, 12.0, 1e-3, -1},
    {"ncp 3 from pf(2, 4, 12, ncp = 3)", Routine::fnc, 5, {0.60702476799567617, 0, 2, 4, 12, 0}, 5, 3.0, 1e-3, -1},
};

void expect_inverse(const Inverse& c) {
    Result r = call(c.routine, c.which, c.args);
    ASSERT_EQ(r.status, 0) << c.reference;
    EXPECT_NEAR(r.args[c.sought], c.expected, c.tolerance * std::fabs(c.expected)) << c.reference;
    if (c.partner >= 0) {
        EXPECT_DOUBLE_EQ(r.args[c.partner], 1.0 - r.args[c.sought]) << c.reference;
    }
}

TEST(DistributionFunctions, InverseModesRecoverRValues) {
    for (const Inverse& c : inverse_cases) {
        expect_inverse(c);
    }
}

// Searches whose values all lie below about 1e-160 (their products would
// underflow), and limits beyond half the largest double.
const std::vector<Inverse> extreme_inverse_cases = {
    {"mpmath: the root of P(101, xlam) = 1e-250",
     Routine::poi,
     3,
     {1, 1e-250, 100, 0},
     3,
     0.12858910849967578,
     search,
     -1},
    {"mpmath: the root of betainc(20, 3, 0, x) = 1e-200",
     Routine::bet,
     2,
     {1e-200, 1, 0, 0, 20, 3},
     2,
     7.617621695085906e-11,
     search,
     3},
    {"mpmath: 1/tan(pi 1e-250), the t quantile for df = 1",
     Routine::t,
     2,
     {1, 1e-250, 0, 1},
     2,
     3.1830988618379065e249,
     search,
     -1},
    {"mpmath: -1/tan(pi 1e-250)", Routine::t, 2, {1e-250, 1, 0, 1}, 2, -3.1830988618379065e249, search, -1},
    // The median of a binomial lies within its standard deviation, here
    // sqrt(n pr ompr) = 6e153, of n pr.
    {"n pr, n = 1.7e308, pr = 0.7", Routine::bin, 2, {0.5, 0.5, 0, 1.7e308, 0.7, 0.3}, 2, 0.7 * 1.7e308, search, -1},
};

TEST(DistributionFunctions, InverseModesAtTheirExtremes) {
    for (const Inverse& c : extreme_inverse_cases) {
        expect_inverse(c);
    }
}

struct Refusal {
    const char* what;
    Routine routine;
    int which;
    std::vector<double> args;
    int status;
    double bound;
};

const std::vector<Refusal> refusals = {
    {"which 0", Routine::gam, 0, {0.5, 0.5, 1, 1, 1}, -1, 1.0},
    {"which above 4", Routine::gam, 5, {0.5, 0.5, 1, 1, 1}, -1, 4.0},
    {"which above 3", Routine::poi, 4, {0.5, 0.5, 1, 1}, -1, 3.0},
    {"which above 3", Routine::t, 4, {0.5, 0.5, 1, 1}, -1, 3.0},
    {"which above 5", Routine::fnc, 6, {0.5, 0.5, 1, 1, 1, 1}, -1, 5.0},
    {"p < 0", Routine::gam, 2, {-0.1, 1.1, 0, 1, 1}, -2, 0.0},
    {"p > 1", Routine::gam, 2, {1.1, -0.1, 0, 1, 1}, -2, 1.0},
    {"q = 0", Routine::gam, 2, {1.0, 0.0, 0, 1, 1}, -3, 0.0},
    {"q > 1", Routine::gam, 2, {0.5, 1.5, 0, 1, 1}, -3, 1.0},
    {"x < 0", Routine::gam, 1, {0, 0, -1, 1, 1}, -4, 0.0},
    {"shape 0", Routine::gam, 1, {0, 0, 1, 0, 1}, -5, 0.0},
    {"scale 0", Routine::gam, 1, {0, 0, 1, 1, 0}, -6, 0.0},
    {"p + q != 1", Routine::gam, 2, {0.3, 0.3, 0, 1, 1}, 3, 1.0},
    {"x NaN", Routine::gam, 1, {0, 0, nan, 1, 1}, -4, 0.0},
    {"shape NaN", Routine::gam, 1, {0, 0, 1, nan, 1}, -5, 0.0},
    {"s < 0", Routine::poi, 1, {0, 0, -1, 1}, -4, 0.0},
    {"xlam < 0", Routine::poi, 1, {0, 0, 1, -1}, -5, 0.0},
    {"q = 0", Routine::poi, 2, {1, 0, 0, 1}, -3, 0.0},
    {"p + q != 1", Routine::poi, 3, {0.3, 0.3, 1, 0}, 3, 1.0},
    {"p = 0", Routine::nor, 2, {0, 1, 0, 0, 1}, -2, 0.0},
    {"q = 0", Routine::nor, 2, {1, 0, 0, 0, 1}, -3, 0.0},
    {"p + q != 1", Routine::nor, 2, {0.3, 0.3, 0, 0, 1}, 3, 1.0},
    {"sd 0", Routine::nor, 1, {0, 0, 0, 0, 0}, -6, 0.0},
    // x and the mean have no range to check; a NaN gets the status of the
    // forward mode's NaN tails.
    {"mean NaN", Routine::nor, 2, {0.3, 0.7, 0, nan, 1}, 10, -99.0},
    {"x NaN", Routine::nor, 3, {0.3, 0.7, nan, 0, 1}, 10, -99.0},
    {"x NaN", Routine::nor, 4, {0.3, 0.7, nan, 0, 0}, 10, -99.0},
    {"mean NaN", Routine::nor, 4, {0.3, 0.7, 1, nan, 0}, 10, -99.0},
    {"q > 1", Routine::bet, 2, {0.5, 1.2, 0, 0, 2, 3}, -3, 1.0},
    {"x > 1", Routine::bet, 1, {0, 0, 1.5, -0.5, 2, 3}, -4, 1.0},
    {"y < 0", Routine::bet, 1, {0, 0, 0.5, -0.1, 2, 3}, -5, 0.0},
    {"a 0", Routine::bet, 1, {0, 0, 0.5, 0.5, 0, 3}, -6, 0.0},
    {"b < 0", Routine::bet, 1, {0, 0, 0.5, 0.5, 2, -1}, -7, 0.0},
    {"p + q != 1", Routine::bet, 2, {0.3, 0.3, 0, 0, 2, 3}, 3, 1.0},
    {"x + y != 1", Routine::bet, 1, {0, 0, 0.3, 0.3, 2, 3}, 4, 1.0},
    {"xn 0", Routine::bin, 1, {0, 0, 0, 0, 0.3, 0.7}, -5, 0.0},
    {"xn NaN", Routine::bin, 1, {0, 0, 0, nan, 0.3, 0.7}, -5, 0.0},
    {"s < 0", Routine::bin, 1, {0, 0, -1, 10, 0.3, 0.7}, -4, 0.0},
    {"s > xn", Routine::bin, 1, {0, 0, 11, 10, 0.3, 0.7}, -4, 10.0},
    {"pr > 1", Routine::bin, 1, {0, 0, 4, 10, 1.2, 0.7}, -6, 1.0},
    {"ompr < 0", Routine::bin, 1, {0, 0, 4, 10, 0.3, -0.1}, -7, 0.0},
    {"pr + ompr != 1", Routine::bin, 1, {0, 0, 4, 10, 0.3, 0.3}, 4, 1.0},
    {"p + q != 1", Routine::bin, 2, {0.3, 0.3, 0, 10, 0.3, 0.7}, 3, 1.0},
    {"q = 0", Routine::nbn, 2, {1, 0, 0, 5, 0.4, 0.6}, -3, 0.0},
    {"s < 0", Routine::nbn, 1, {0, 0, -1, 5, 0.4, 0.6}, -4, 0.0},
    {"xn < 0", Routine::nbn, 1, {0, 0, 3, -1, 0.4, 0.6}, -5, 0.0},
    {"pr > 1", Routine::nbn, 1, {0, 0, 3, 5, 2, 0.6}, -6, 1.0},
    {"ompr < 0", Routine::nbn, 1, {0, 0, 3, 5, 0.4, -0.6}, -7, 0.0},
    {"pr + ompr != 1", Routine::nbn, 1, {0, 0, 3, 5, 0.4, 0.4}, 4, 1.0},
    {"q = 0", Routine::f, 2, {1, 0, 0, 5, 9}, -3, 0.0},
    {"f < 0", Routine::f, 1, {0, 0, -1, 5, 9}, -4, 0.0},
    {"dfn 0", Routine::f, 1, {0, 0, 1, 0, 9}, -5, 0.0},
    {"dfd 0", Routine::f, 1, {0, 0, 1, 5, 0}, -6, 0.0},
    {"p + q != 1", Routine::f, 2, {0.3, 0.3, 0, 5, 9}, 3, 1.0},
    {"p = 0", Routine::t, 2, {0, 1, 0, 7}, -2, 0.0},
    {"q = 0", Routine::t, 2, {1, 0, 0, 7}, -3, 0.0},
    {"df 0", Routine::t, 1, {0, 0, 1, 0}, -5, 0.0},
    {"p + q != 1", Routine::t, 2, {0.3, 0.3, 0, 7}, 3, 1.0},
    {"p = 1", Routine::chn, 2, {1, 0, 0, 2, 1}, -2, 1.0 - 1e-16},
    {"p < 0", Routine::chn, 2, {-0.1, 0, 0, 2, 1}, -2, 0.0},
    {"x < 0", Routine::chn, 1, {0, 0, -1, 2, 1}, -4, 0.0},
    {"df 0", Routine::chn, 1, {0, 0, 1, 0, 1}, -5, 0.0},
    {"pnonc < 0", Routine::chn, 1, {0, 0, 1, 2, -1}, -6, 0.0},
    {"p = 1", Routine::fnc, 2, {1, 0, 0, 4, 12, 3}, -2, 1.0 - 1e-16},
    {"f < 0", Routine::fnc, 1, {0, 0, -1, 4, 12, 3}, -4, 0.0},
    {"dfn 0", Routine::fnc, 1, {0, 0, 1, 0, 12, 3}, -5, 0.0},
    {"dfd 0", Routine::fnc, 1, {0, 0, 1, 4, 0, 3}, -6, 0.0},
    {"phonc < 0", Routine::fnc, 1, {0, 0, 1, 4, 12, -3}, -7, 0.0},
};

bool same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

TEST(DistributionFunctions, RefusalsReportStatusAndBoundAndWriteNothing) {
    for (const Refusal& c : refusals) {
        const std::string where = std::string(name(c.routine)) + " which " + std::to_string(c.which) + ": " + c.what;
        Result r = call(c.routine, c.which, c.args);
        EXPECT_EQ(r.status, c.status) << where;
        EXPECT_EQ(r.bound, c.bound) << where;
        for (std::size_t i = 0; i < c.args.size(); ++i) {
            EXPECT_TRUE(same(r.args[i], c.args[i])) << where << ": argument " << i << " written";
        }
    }
}

// Inverse modes whose answer lies beyond the limits of the sought value, and
// arguments that no check covers but no computation accepts.
const std::vector<Refusal> unsolvable = {
    {"s below 0", Routine::bin, 2, {0.01, 0.99, 0, 10, 0.3, 0.7}, 1, 0.0},
    {"df above 1e10 (p = pnorm(1.5))", Routine::t, 3, {0.93319279873114191, 0.066807201268858071, 1.5, 0}, 2, 1e10},
    {"pnonc below 0", Routine::chn, 4, {0.9999, 0, 20, 5, 0}, 1, 0.0},
    {"sd with x below the mean for p > 1/2", Routine::nor, 4, {0.9, 0.1, -1, 0, 0}, 1, 0.0},
    {"x NaN", Routine::nor, 1, {0, 0, nan, 0, 1}, 10, -99.0},
    {"t NaN", Routine::t, 1, {0, 0, nan, 7}, 10, -99.0},
    // The incomplete gamma ratio returns its error value 2 for a shape above
    // about 6.65e28 with x equal to it.
    {"gamma ratio error value", Routine::gam, 1, {0, 0, 1e29, 1e29, 1}, 10, -99.0},
    {"gamma ratio error value", Routine::poi, 1, {0, 0, 1e29, 1e29}, 10, -99.0},
    {"gamma ratio error value at the centre", Routine::chn, 1, {0, 0, 2e29, 2e29, 1}, 10, -99.0},
    // A gamma quantile x = xx / scale beyond the doubles: the median 0.69 of
    // the unit gamma over a subnormal scale, and 1e-30 over 1e300.
    {"x above the largest double", Routine::gam, 2, {0.5, 0.5, 0, 1, 1e-310}, 2, DBL_MAX},
    {"x below the smallest double", Routine::gam, 2, {1e-30, 1 - 1e-30, 0, 1, 1e300}, 1, 0.0},
};

TEST(DistributionFunctions, UnsolvableCasesReportStatusAndBound) {
    for (const Refusal& c : unsolvable) {
        const std::string where = std::string(name(c.routine)) + " which " + std::to_string(c.which) + ": " + c.what;
        Result r = call(c.routine, c.which, c.args);
        EXPECT_EQ(r.status, c.status) << where;
        EXPECT_EQ(r.bound, c.bound) << where;
    }
}

TEST(DistributionFunctions, NormalAnnouncesEveryCall) {
    testing::internal::CaptureStdout();
    Result ok = call(Routine::nor, 1, {0, 0, 0, 0, 1});
    Result refused = call(Routine::nor, 0, {0, 0, 0, 0, 1});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "in cdfnor\nin cdfnor\n");
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.args[0], 0.5);
    EXPECT_EQ(refused.status, -1);
}

TEST(DistributionFunctions, ForwardRoutinesAtTheirEdges) {
    double cum = -1.0;
    double ccum = -1.0;
    // Degenerate success probabilities.
    double s = 2.0, xn = 5.0, pr = 0.0, ompr = 1.0;
    cumbin(&s, &xn, &pr, &ompr, &cum, &ccum);
    EXPECT_EQ(cum, 1.0);
    EXPECT_EQ(ccum, 0.0);
    pr = 1.0;
    ompr = 0.0;
    cumbin(&s, &xn, &pr, &ompr, &cum, &ccum);
    EXPECT_EQ(cum, 0.0);
    EXPECT_EQ(ccum, 1.0);
    // f = 0 and an infinite t.
    double f = 0.0, dfn = 3.0, dfd = 4.0;
    cumf(&f, &dfn, &dfd, &cum, &ccum);
    EXPECT_EQ(cum, 0.0);
    EXPECT_EQ(ccum, 1.0);
    double t = -std::numeric_limits<double>::infinity(), df = 3.0;
    cumt(&t, &df, &cum, &ccum);
    EXPECT_EQ(cum, 0.0);
    EXPECT_EQ(ccum, 1.0);
    // A failed incomplete beta ratio gives NaN, never a probability.
    double x = 0.5, y = 0.5, a = std::numeric_limits<double>::infinity(), b = 1.0;
    cumbet(&x, &y, &a, &b, &cum, &ccum);
    EXPECT_TRUE(std::isnan(cum));
    EXPECT_TRUE(std::isnan(ccum));
}

}  // namespace
