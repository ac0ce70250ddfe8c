// Distribution functions where an intermediate of the published formula
// under- or overflows: products a x and dfn f beyond the doubles, beta
// variables below the normal doubles, non-central sums whose centre terms
// underflow, far upper tails. References: mpmath at 60 digits and more
// (series and continued fractions of the incomplete gamma and beta ratios,
// Poisson mixtures of them term by term, and bisection for the roots).
#include <cfloat>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "distribution_calls.h"
#include "numerics/gratio.h"
#include "numerics/ratios_at_log.h"

using namespace vorlan2;

namespace {

void expect_relative(double got, double want, double tolerance, const char* what) {
    EXPECT_LE(std::fabs(got - want), tolerance * want) << what << ": " << got << " want " << want;
}

struct Forward {
    const char* what;
    Routine routine;
    std::vector<double> args;  // after which = 1, p and q given as 0
    double p;
    double q;
};

// Both tails to 1e-12 (the non-central ones to 1e-9).
const std::vector<Forward> forward_cases = {
    {"chn: the centre terms underflow one by one, their sum does not",
     Routine::chn,
     {0, 0, 5.984e-42, 2.104e-5, 16},
     0.00033512740913478555,
     0.99966487259086521},
    {"fnc: the centre terms underflow",
     Routine::fnc,
     {0, 0, 4.580e-292, 0.012795, 3211.7, 19.678},
     7.090661158566046e-7,
     0.99999929093388414},
    {"chn: an upper tail far below 1 - p", Routine::chn, {0, 0, 3304.31, 2.007, 1708.78}, 1.0, 7.1874914063816167e-59},
    {"poi: 24 standard deviations into the tail of a shape 4.7e6, where x/a rounds",
     Routine::poi,
     {0, 0, 4702700.810734565, 4651550.417187107},
     1.0,
     3.379937737130249e-124},
    {"f: dfn f underflows", Routine::f, {0, 0, 2.08e-70, 1e-300, 9.754e6}, 1.0, 4.2567002406613208e-298},
    {"f: dfn f overflows", Routine::f, {0, 0, 1.362e260, 1e300, 1.384e-6}, 0.00042382074247977761, 0.99957617925752022},
    {"f: the beta variable dfn f / (dfd + dfn f) underflows",
     Routine::f,
     {0, 0, 2.17e-300, 6.41e-6, 1e300},
     0.99775238127850999,
     0.0022476187214900132},
    {"f: dfd / (dfd + dfn f) is subnormal",
     Routine::f,
     {0, 0, 4.605e299, 8.292e6, 2.197e-10},
     7.8252168999270995e-8,
     0.999999921747831},
    {"fnc: dfd / (dfd + dfn f) underflows, a lower tail of 1e-288",
     Routine::fnc,
     {0, 0, 2.4315990394473247e-161, 1e300, 1.0869890115047352e-290, 2.2079465789015885e-07},
     1.6193665876639744e-288,
     1.0},
    {"fnc: dfn/2 far below 1 beside dfd/2",
     Routine::fnc,
     {0, 0, 2.4315990394473247e-161, 1e-50, 1.0869890115047352e-290, 2.2079465789015885e-07},
     1.0869888915040583e-240,
     1.0},
};

TEST(ExtremeArguments, ForwardTailsKeepTheirDigits) {
    for (const Forward& c : forward_cases) {
        const Result r = call(c.routine, 1, c.args);
        ASSERT_EQ(r.status, 0) << c.what;
        const bool noncentral = c.routine == Routine::chn || c.routine == Routine::fnc;
        const double tolerance = noncentral ? 1e-9 : 1e-12;
        expect_relative(r.args[0], c.p, tolerance, c.what);
        expect_relative(r.args[1], c.q, tolerance, c.what);
    }
}

// The search at tails that the forward routines once gave as 0: the root
// lies far inside the limits.
TEST(ExtremeArguments, InverseModesFindRootsBeyondUnderflowingTails) {
    const double p_chn = 4.0936e-155;
    const Result chn = call(Routine::chn, 4, {p_chn, 1 - p_chn, 5.984e-42, 2.104e-5, 0});
    ASSERT_EQ(chn.status, 0);
    expect_relative(chn.args[4], 710.98052972579818, 1e-6, "pnonc of the chn tail 4.0936e-155");
    const double p_gam = 0.83474;
    const Result gam = call(Routine::gam, 3, {p_gam, 1 - p_gam, 8.176e-273, 0, 1.638e-4});
    ASSERT_EQ(gam.status, 0);
    expect_relative(gam.args[3], 0.0002846239200716937, 2e-8, "shape with x scale = 1.3e-276");
}

// gratio at a product a x that underflows, with both positive: Q is about
// -a (ln x + Euler's constant), not 0 or 1.
TEST(ExtremeArguments, GammaRatioWithAnUnderflowingProduct) {
    struct Case {
        double a, x, q;
    };
    const Case cases[] = {
        {5e-51, 1.3392e-276, 3.17322098790351e-48},
        {4.102e-264, 5.132e-289, 2.7205874298923867e-261},
    };
    for (const Case& c : cases) {
        double a = c.a;
        double x = c.x;
        double p = -1.0;
        double q = -1.0;
        int ind = 0;
        gratio(&a, &x, &p, &q, &ind);
        EXPECT_EQ(p, 1.0) << c.a;
        expect_relative(q, c.q, 1e-13, "Q");
    }
}

// The ratios at a variable below the normal doubles from its logarithm:
// mpmath for P(a, x), Q(a, x), I_x(a, b), 1 - I_x(a, b) at x = exp(log_x).
TEST(RatiosAtLog, MatchTheRatiosAtTheVariableItself) {
    struct Case {
        const char* what;
        bool beta;
        double a, b, log_x, lower, upper;
    };
    const Case cases[] = {
        {"gamma, tiny a", false, 1e-5, 0, -1000.0, 0.99005554840696355, 0.0099444515930364546},
        {"gamma, a = 0.5", false, 0.5, 0, -800.0, 2.1610374743867985e-174, 1.0},
        {"gamma, x = 0", false, 0.3, 0, -INFINITY, 0.0, 1.0},
        {"beta, the rescaled series", true, 1e-6, 3.5, -900.0, 0.99910208373993201, 0.00089791626006799025},
        {"beta, the gamma limit", true, 0.7, 1e290, -700.0, 1.7270806631012437e-10, 0.99999999982729193},
        {"beta, a normal variable", true, 2.0, 3.0, -3.0, 0.013903667264364699, 0.9860963327356353},
    };
    for (const Case& c : cases) {
        double lower = -1.0;
        double upper = -1.0;
        if (c.beta) {
            ASSERT_EQ(bratio_at_log(c.a, c.b, c.log_x, &lower, &upper), 0) << c.what;
        } else {
            gratio_at_log(c.a, c.log_x, &lower, &upper);
        }
        for (double* got : {&lower, &upper}) {
            const double want = got == &lower ? c.lower : c.upper;
            EXPECT_LE(std::fabs(*got - want), 1e-13 * want) << c.what << ": " << *got << " want " << want;
        }
    }
}

}  // namespace
