// Incomplete gamma ratios against values computed outside this code, one
// case for each method the routine chooses.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "numerics/gratio.h"

namespace {

struct GammaCase {
    double a;
    double x;
    double p;  // P(a, x)
    double q;  // Q(a, x)
    const char* method;
};

// mpmath (dps 40): gammainc(a, 0, x, regularized=True) and
// gammainc(a, x, inf, regularized=True); the 6500/6000 row from
// R: pgamma(6000, 6500), pgamma(6000, 6500, lower=FALSE).
const GammaCase full_accuracy_cases[] = {
    {1.0, 1.0, 6.3212055882855768e-1, 3.6787944117144232e-1, "finite sum, whole a"},
    {3.0, 10.0, 9.9723060428448842e-1, 2.7693957155115759e-3, "finite sum, whole a"},
    {2.5, 7.0, 9.8439058389973309e-1, 1.5609416100266915e-2, "finite sum, half-integer a"},
    {0.5, 2.0, 9.5449973610364159e-1, 4.5500263896358414e-2, "a = 0.5 through erfc"},
    {0.5, 0.1, 3.4527915398142298e-1, 6.5472084601857702e-1, "a = 0.5 through erf"},
    {0.01, 0.2, 9.8778440945675419e-1, 1.2215590543245809e-2, "small-x series, rexp form, x < 0.25"},
    {0.3, 1.0, 9.1567415624110877e-1, 8.4325843758891234e-2, "small-x series, rexp form, x >= 0.25"},
    {0.9, 0.1, 1.2489507272874193e-1, 8.7510492727125807e-1, "small-x series, exp form, x < 0.25"},
    {0.8, 0.5, 4.9919213726026359e-1, 5.0080786273973641e-1, "small-x series, exp form, x >= 0.25"},
    {1e-20, 1e-3, 1.0, 6.331539364136149e-20, "small-x series, tiny a"},
    {0.3, 5.0, 9.9934868124928155e-1, 6.5131875071845155e-4, "continued fraction, a < 1"},
    {0.7, 30.0, 9.9999999999997426e-1, 2.5736414806797679e-14, "continued fraction, a < 1, far tail"},
    {5.3, 2.0, 3.7804883090936599e-2, 9.621951169090634e-1, "power series"},
    {15.5, 12.0, 1.8945544253008341e-1, 8.1054455746991659e-1, "power series"},
    {3.7, 12.0, 9.9847955338088101e-1, 1.5204466191189933e-3, "continued fraction, a >= 1"},
    {4.2, 25.0, 9.9999993929819535e-1, 6.070180464761787e-8, "continued fraction, a >= 1"},
    {10.3, 40.0, 9.9999999393015151e-1, 6.0698484946251187e-9, "asymptotic series"},
    {1.7, 100.0, 1.0, 1.0355738918385479e-42, "asymptotic series, far tail"},
    {100.0, 100.0, 5.1329879827914866e-1, 4.8670120172085134e-1, "Temme, transition point"},
    {1000.0, 1000.001, 5.0421785878525453e-1, 4.9578214121474547e-1, "Temme, transition point, x > a"},
    {100.0, 100.05, 5.1529134172401534e-1, 4.8470865827598466e-1, "Temme, uniform, abs(s) <= 1e-3"},
    {100.0, 90.0, 1.5822098918643017e-1, 8.4177901081356983e-1, "Temme, uniform, x < a"},
    {100.0, 120.0, 9.7213626010947934e-1, 2.7863739890520661e-2, "Temme, uniform, x > a"},
    {50.0, 40.0, 7.0335066659394954e-2, 9.2966493334060505e-1, "Temme, uniform"},
    {6500.0, 6000.0, 9.8196809310091226e-11, 9.9999999990180322e-01, "Temme, uniform, large a"},
    {30.0, 10.0, 2.5099512015279078e-7, 9.9999974900487985e-1, "large a, power series"},
    {20.0, 29.0, 9.6736858369873345e-1, 3.2631416301266547e-2, "large a, continued fraction"},
    {25.0, 40.0, 9.955173434344268e-1, 4.4826565655732046e-3, "large a, asymptotic series"},
};

// Relative difference, measured against the smaller tail for the larger one
// (whose absolute error is what the complement carries).
void expect_tails(double p, double q, double want_p, double want_q, double rel, const char* what) {
    double scale_p = want_p <= want_q ? want_p : 1.0;
    double scale_q = want_q <= want_p ? want_q : 1.0;
    EXPECT_LE(std::fabs(p - want_p), rel * scale_p) << what << ": P " << p << " want " << want_p;
    EXPECT_LE(std::fabs(q - want_q), rel * scale_q) << what << ": Q " << q << " want " << want_q;
}

TEST(Gratio, FullAccuracyMatchesReferenceInEveryRegion) {
    for (const GammaCase& c : full_accuracy_cases) {
        double a = c.a;
        double x = c.x;
        double p = -1.0;
        double q = -1.0;
        int ind = 0;
        gratio(&a, &x, &p, &q, &ind);
        SCOPED_TRACE(testing::Message() << "a=" << c.a << " x=" << c.x);
        expect_tails(p, q, c.p, c.q, 1e-13, c.method);
    }
}

TEST(Gratio, LowerAccuracySettingsStayWithinTheirTolerance) {
    // mpmath (dps 40) as above: (15, 15) and (12, 12.5) reach the large-shape
    // expansion only at the lower settings, whose threshold is 14 or 10.
    struct Case {
        int ind;
        double a, x, p, q, rel;
    };
    const Case cases[] = {
        {1, 100.0, 100.0, 5.1329879827914866e-1, 4.8670120172085134e-1, 5e-6},
        {1, 15.0, 15.0, 0.53434629105599, 0.46565370894401, 5e-6},
        {1, 100.0, 120.0, 9.7213626010947934e-1, 2.7863739890520661e-2, 5e-6},
        {2, 100.0, 100.0, 5.1329879827914866e-1, 4.8670120172085134e-1, 5e-3},
        {7, 12.0, 12.5, 0.59423931118852, 0.40576068881148, 5e-3},
        {2, 100.0, 90.0, 1.5822098918643017e-1, 8.4177901081356983e-1, 5e-3},
    };
    for (const Case& c : cases) {
        double a = c.a;
        double x = c.x;
        double p = -1.0;
        double q = -1.0;
        int ind = c.ind;
        gratio(&a, &x, &p, &q, &ind);
        SCOPED_TRACE(testing::Message() << "ind=" << c.ind << " a=" << c.a << " x=" << c.x);
        EXPECT_NEAR(p, c.p, c.rel);
        EXPECT_NEAR(q, c.q, c.rel);
        EXPECT_DOUBLE_EQ(p + q, 1.0);
    }
}

TEST(Gratio, SaturatedTailsAreExactZeroAndOne) {
    struct Case {
        double a, x, p, q;
    };
    // The true upper tails are below the smallest double (mpmath: 3.8e-351
    // for (0.2, 800), 1.2e-346 for (1.5, 800)); R: pgamma(2e5, 1e5) = 1.
    const Case cases[] = {
        {3.0, 0.0, 0.0, 1.0},    // a x = 0, x <= a
        {0.0, 3.0, 1.0, 0.0},    // a x = 0, x > a
        {0.2, 800.0, 1.0, 0.0},  // a < 1, factor underflows
        {1.5, 800.0, 1.0, 0.0},  // a >= 1, factor underflows
        {1e5, 2e5, 1.0, 0.0},    // large a, far beyond the transition
        {1e5, 2e4, 0.0, 1.0},   {2.0, std::numeric_limits<double>::infinity(), 1.0, 0.0},
    };
    for (const Case& c : cases) {
        double a = c.a;
        double x = c.x;
        double p = -1.0;
        double q = -1.0;
        int ind = 0;
        gratio(&a, &x, &p, &q, &ind);
        EXPECT_EQ(p, c.p) << "a=" << c.a << " x=" << c.x;
        EXPECT_EQ(q, c.q) << "a=" << c.a << " x=" << c.x;
    }
}

TEST(Gratio, ErrorsSetTwoAndLeaveQUntouched) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double above_one = 1.0 + std::ldexp(1.0, -52);
    struct Case {
        double a, x;
        const char* why;
    };
    const Case cases[] = {
        {-1.0, 1.0, "negative a"},
        {1.0, -1.0, "negative x"},
        {0.0, 0.0, "a = x = 0"},
        {nan, 1.0, "NaN a"},
        {1.0, nan, "NaN x"},
        {1e30, 1e30, "transition point beyond the reach of the expansion"},
        {1e30, 1e30 * above_one, "uniform expansion beyond its reach"},
        {1e300, 1e300 * above_one, "x/a within two units of 1 at huge a"},
    };
    for (const Case& c : cases) {
        double a = c.a;
        double x = c.x;
        double p = -1.0;
        double q = -7.0;
        int ind = 0;
        gratio(&a, &x, &p, &q, &ind);
        EXPECT_EQ(p, 2.0) << c.why;
        EXPECT_EQ(q, -7.0) << c.why;
    }
}

}  // namespace
