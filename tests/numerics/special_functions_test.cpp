// Special functions of the incomplete gamma ratio against mpmath values, and
// the machine constants they read.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "numerics/ipmpar.h"
#include "numerics/special_functions.h"

namespace {

struct Point {
    double x;
    double want;
};

void expect_relative(double got, double want, double rel, double x) {
    EXPECT_LE(std::fabs(got - want), rel * std::fabs(want)) << "at " << x << ": got " << got << " want " << want;
}

TEST(MachineConstants, IeeeTable) {
    const int want[11] = {0, 2, 31, 2147483647, 2, 24, -125, 128, 53, -1021, 1024};
    for (int i = 1; i <= 10; ++i) {
        EXPECT_EQ(ipmpar(&i), want[i]) << "entry " << i;
    }
}

TEST(MachineConstants, DerivedDoubleConstants) {
    struct Case {
        int i;
        double want;
    };
    const Case cases[] = {{0, DBL_EPSILON}, {1, DBL_EPSILON}, {2, DBL_MIN}, {3, DBL_MAX}, {4, DBL_MAX}};
    for (const Case& c : cases) {
        int i = c.i;
        EXPECT_EQ(spmpar(&i), c.want) << "spmpar(" << c.i << ")";
    }
}

TEST(MachineConstants, ExpArgumentLimits) {
    int largest = 0;
    int smallest = 1;
    // 0.99999 m ln 2 with ln 2 carried to 14 digits.
    EXPECT_NEAR(exparg(&largest), 0.99999 * 1024 * std::log(2.0), 1e-10);
    EXPECT_NEAR(exparg(&smallest), -0.99999 * 1022 * std::log(2.0), 1e-10);
    EXPECT_TRUE(std::isfinite(std::exp(exparg(&largest))));
    EXPECT_GE(std::exp(exparg(&smallest)), DBL_MIN);
}

// All reference values: mpmath, dps 40.
TEST(Gam1, MatchesReciprocalGammaMinusOne) {
    // 1/gamma(a + 1) - 1
    const Point points[] = {{-0.4, -3.2849502755792666e-1}, {-0.1, -6.4221279087127231e-2},
                            {0.2, 8.9124421058336311e-2},   {0.5, 1.2837916709551257e-1},
                            {0.7, 1.0054740552366572e-1},   {1.3, -1.4289037804053706e-1},
                            {1.5, -2.4774722193632495e-1}};
    for (const Point& p : points) {
        double a = p.x;
        expect_relative(gam1(&a), p.want, 1e-14, p.x);
    }
    double zero = 0.0;
    double one = 1.0;
    EXPECT_EQ(gam1(&zero), 0.0);
    EXPECT_EQ(gam1(&one), 0.0);
}

TEST(Rlog, MatchesXMinusOneMinusLog) {
    // x - 1 - log(x); the rows cover the outer formula and the three inner ranges.
    const Point points[] = {{0.3, 5.0397280432593602e-1}, {0.7, 5.6674943938732398e-2}, {0.9, 5.3605156578262988e-3},
                            {1.1, 4.689820195675148e-3},  {1.3, 3.7635735532508958e-2}, {2.0, 3.0685281944005469e-1}};
    for (const Point& p : points) {
        double x = p.x;
        expect_relative(rlog(&x), p.want, 1e-14, p.x);
    }
    double one = 1.0;
    EXPECT_EQ(rlog(&one), 0.0);
}

TEST(Rexp, MatchesExpm1) {
    // expm1(x)
    const Point points[] = {{-1.0, -6.3212055882855768e-1}, {-0.1, -9.5162581964040432e-2},
                            {1e-05, 1.0000050000166668e-5}, {0.1, 1.0517091807564763e-1},
                            {0.15, 1.6183424272828312e-1},  {0.5, 6.4872127070012815e-1},
                            {5.0, 1.474131591025766e+2}};
    for (const Point& p : points) {
        double x = p.x;
        expect_relative(rexp(&x), p.want, 1e-14, p.x);
    }
    double zero = 0.0;
    EXPECT_EQ(rexp(&zero), 0.0);
}

TEST(Erf1, MatchesErfInEveryRange) {
    // erf(x)
    const Point points[] = {
        {-5.0, -9.9999999999846254e-1}, {-4.5, -9.9999999980338396e-1}, {-2.0, -9.9532226501895273e-1},
        {-0.3, -3.2862675945912742e-1}, {0.3, 3.2862675945912742e-1},   {0.5, 5.2049987781304654e-1},
        {1.0, 8.4270079294971487e-1},   {3.9, 9.999999652077514e-1},    {4.5, 9.9999999980338396e-1}};
    for (const Point& p : points) {
        double x = p.x;
        expect_relative(erf1(&x), p.want, 1e-14, p.x);
    }
    double far = 6.0;
    double far_negative = -6.0;
    EXPECT_EQ(erf1(&far), 1.0);
    EXPECT_EQ(erf1(&far_negative), -1.0);
}

TEST(Erfc1, PlainAndScaledMatchErfc) {
    struct Case {
        double x, erfc, scaled;  // erfc(x), exp(x^2) erfc(x)
    };
    const Case cases[] = {
        {-5.0, 1.9999999999984625, 1.4400979867466104e+11},     {-4.5, 1.999999999803384, 1.2459288842744062e+9},
        {-1.0, 1.8427007929497149, 5.0089800807622835},         {0.2, 7.7729741078952153e-1, 8.0901951990158073e-1},
        {0.5, 4.7950012218695346e-1, 6.1569034419292587e-1},    {1.0, 1.5729920705028513e-1, 4.27583576155807e-1},
        {4.5, 1.9661604415428875e-10, 1.2248480427384142e-1},   {10.0, 2.0884875837625448e-45, 5.6140992743822586e-2},
        {26.0, 5.6631924088561428e-296, 2.1683584850562907e-2},
    };
    int plain = 0;
    int scaled = 1;
    for (const Case& c : cases) {
        double x = c.x;
        expect_relative(erfc1(&plain, &x), c.erfc, 2e-14, c.x);
        expect_relative(erfc1(&scaled, &x), c.scaled, 2e-14, c.x);
    }
    double fifty = 50.0;
    expect_relative(erfc1(&scaled, &fifty), 1.1281536265323773e-2, 2e-14, 50.0);
    // Underflow and the far negative side.
    double twenty_seven = 27.0;
    double minus_six = -6.0;
    EXPECT_EQ(erfc1(&plain, &twenty_seven), 0.0);
    EXPECT_EQ(erfc1(&plain, &minus_six), 2.0);
    EXPECT_DOUBLE_EQ(erfc1(&scaled, &minus_six), 2.0 * std::exp(36.0));
}

TEST(Xgamm, MatchesGamma) {
    // gamma(a)
    const Point points[] = {
        {0.5, 1.772453850905516},         {-2.5, -9.4530872048294188e-1},  {14.3, 1.3641012334756094e+10},
        {-0.5, -3.5449077018110321},      {1e-05, 9.9999422794225559e+4},  {16.7, 9.0478584656434022e+12},
        {150.0, 3.8089226376305697e+260}, {-15.5, 6.0531668400586031e-13}, {-20.25, -8.5690326638851275e-19}};
    for (const Point& p : points) {
        double a = p.x;
        // Beyond 15 the result is exp of a large argument, which magnifies its rounding.
        expect_relative(Xgamm(&a), p.want, std::fabs(p.x) < 15.0 ? 1e-14 : 5e-13, p.x);
    }
    double five = 5.0;
    EXPECT_DOUBLE_EQ(Xgamm(&five), 24.0);
}

TEST(Xgamm, PolesAndOverflowGiveZero) {
    for (double a : {0.0, -1.0, -3.0, -20.0, 1000.0, 172.0, -1000.5}) {
        EXPECT_EQ(Xgamm(&a), 0.0) << "a=" << a;
    }
}

}  // namespace
