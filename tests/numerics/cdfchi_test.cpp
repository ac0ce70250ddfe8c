// Chi-squared distribution function: forward tails, both inverse modes and
// every status of the argument checks and the search.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "numerics/cdfchi.h"

namespace {

const double nan = std::numeric_limits<double>::quiet_NaN();

struct Call {
    int which;
    double p, q, x, df;
    int status = -99;
    double bound = -99.0;

    void run() { cdfchi(&which, &p, &q, &x, &df, &status, &bound); }
};

Call forward(double x, double df) {
    Call c{1, -1.0, -1.0, x, df};
    c.run();
    return c;
}

void expect_relative(double got, double want, double rel) {
    EXPECT_LE(std::fabs(got - want), rel * std::fabs(want)) << "got " << got << " want " << want;
}

TEST(Cdfchi, ForwardTailsMatchR) {
    struct Case {
        double x, df, p, q;
    };
    // R: pchisq(x, df) and pchisq(x, df, lower=FALSE).
    const Case cases[] = {
        {3.841458820694124, 1, 9.50000000000000067e-01, 4.99999999999999750e-02},
        {5.9914645471079817, 2, 9.49999999999999956e-01, 5.00000000000000097e-02},  // x = 2 ln 20
        {0.5, 0.3, 8.43950832903137993e-01, 1.56049167096862007e-01},
        {10, 10, 5.59506714934787541e-01, 4.40493285065212459e-01},
        {150, 100, 9.99096067957645939e-01, 9.03932042354009383e-04},
        {0.001, 5, 1.68148771897062742e-09, 9.99999998318512273e-01},
        {400, 300, 9.99903213780050648e-01, 9.67862199493357269e-05},
        {1e-10, 1, 7.97884560789567350e-06, 9.99992021154392119e-01},
        {25, 3, 9.99984559501708947e-01, 1.54404982911013683e-05},
        {0.02, 0.001, 9.97982869276348827e-01, 2.01713072365108286e-03},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "x=" << c.x << " df=" << c.df);
        Call r = forward(c.x, c.df);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.bound, -99.0);
        expect_relative(r.p, c.p, 1e-13);
        expect_relative(r.q, c.q, 1e-13);
    }
}

TEST(Cdfchi, ZeroStatisticHasNoLowerTail) {
    for (double df : {0.01, 1.0, 7.5, 1e4}) {
        Call r = forward(0.0, df);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.p, 0.0);
        EXPECT_EQ(r.q, 1.0);
    }
}

TEST(Cdfchi, BadArgumentsSetStatusAndBoundOnly) {
    struct Case {
        int which;
        double p, q, x, df;
        int status;
        double bound;
        const char* why;
    };
    const Case cases[] = {
        {0, 0.5, 0.5, 1.0, 1.0, -1, 1.0, "which below range"},
        {4, 0.5, 0.5, 1.0, 1.0, -1, 3.0, "which above range"},
        {1, 0.5, 0.5, -1.0, 1.0, -4, 0.0, "negative x"},
        {1, 0.5, 0.5, 1.0, 0.0, -5, 0.0, "zero df"},
        {1, 0.5, 0.5, 1.0, -2.0, -5, 0.0, "negative df"},
        {2, -0.1, 0.5, 1.0, 1.0, -2, 0.0, "p below 0"},
        {2, 1.1, 0.5, 1.0, 1.0, -2, 1.0, "p above 1"},
        {2, 1.0, 0.0, 1.0, 1.0, -3, 0.0, "q = 0"},
        {3, 1.0, 0.0, 1.0, 1.0, -3, 0.0, "q = 0, which 3"},
        {2, 0.5, 1.5, 1.0, 1.0, -3, 1.0, "q above 1"},
        {2, 0.5, 0.5, 1.0, 0.0, -5, 0.0, "zero df, which 2"},
        {3, 0.5, 0.5, -1.0, 1.0, -4, 0.0, "negative x, which 3"},
        {2, 0.3, 0.3, 1.0, 1.0, 3, 1.0, "p + q != 1"},
        {3, 0.5, 0.5 + 1e-15, 1.0, 1.0, 3, 1.0, "p + q just beyond 3 eps from 1"},
    };
    for (const Case& c : cases) {
        Call r{c.which, c.p, c.q, c.x, c.df};
        r.run();
        EXPECT_EQ(r.status, c.status) << c.why;
        EXPECT_EQ(r.bound, c.bound) << c.why;
        EXPECT_EQ(r.p, c.p) << c.why;
        EXPECT_EQ(r.q, c.q) << c.why;
        EXPECT_EQ(r.x, c.x) << c.why;
        EXPECT_EQ(r.df, c.df) << c.why;
    }
}

TEST(Cdfchi, UnusedArgumentsAreNotChecked) {
    // The sought value is an output, so its entry value does not matter.
    Call x_sought{2, 0.5, 0.5, -1.0, 10.0};
    x_sought.run();
    EXPECT_EQ(x_sought.status, 0);
    Call df_sought{3, 0.824074445548782064, 0.175925554451217908, 7.0, -1.0};
    df_sought.run();
    EXPECT_EQ(df_sought.status, 0);
    Call probabilities_ignored{1, 7.0, -3.0, 1.0, 1.0};
    probabilities_ignored.run();
    EXPECT_EQ(probabilities_ignored.status, 0);
}

TEST(Cdfchi, StatisticFromProbabilitiesMatchesR) {
    struct Case {
        double p, q, df, x;
    };
    // R: qchisq(p, df) (qchisq(q, df, lower=FALSE) for the upper-tail row).
    const Case cases[] = {
        {0.95, 0.05, 1, 3.841458820694124},
        {0.01, 0.99, 3, 0.11483180189911704},
        {0.5, 0.5, 10, 9.3418177655919692},
        {1.0 - 1e-12, 1e-12, 3, 58.919755683202759},
        {1e-10, 1.0 - 1e-10, 2, 2.0000000000999977e-10},
        {0.3, 0.7, 0.5, 0.010982604948550972},
        {0.999, 0.001, 250, 324.83243656836299},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "p=" << c.p << " df=" << c.df);
        Call r{2, c.p, c.q, 0.0, c.df};
        r.run();
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.bound, -99.0);
        expect_relative(r.x, c.x, 1e-8);
    }
}

TEST(Cdfchi, StatisticForAnUpperTailOf1eMinus200) {
    // Every value the search compares lies far below 1e-160; mpmath (50
    // digits): the root of Q(1/2, x/2) = 1e-200.
    Call r{2, 1.0, 1e-200, 0.0, 1.0};
    r.run();
    EXPECT_EQ(r.status, 0);
    expect_relative(r.x, 913.76270078588048, 1e-8);
}

TEST(Cdfchi, ZeroLowerTailGivesZeroStatistic) {
    Call r{2, 0.0, 1.0, 3.0, 4.0};
    r.run();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.x, 0.0);
}

TEST(Cdfchi, DegreesOfFreedomFromProbabilitiesRecoverR) {
    struct Case {
        double p, q, x, df;
    };
    // p, q from R: pchisq(x, df) and pchisq(x, df, lower=FALSE).
    const Case cases[] = {
        {8.24074445548782064e-01, 1.75925554451217908e-01, 7.0, 4.5},
        {8.24256583689515487e-01, 1.75743416310484513e-01, 0.3, 0.25},
        {3.40746510843232889e-02, 9.65925348915676718e-01, 120.0, 150.0},
        {9.99999989344909634e-01, 1.06550903342558627e-08, 40.0, 3.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "x=" << c.x << " df=" << c.df);
        Call r{3, c.p, c.q, c.x, 0.0};
        r.run();
        EXPECT_EQ(r.status, 0);
        expect_relative(r.df, c.df, 1e-8);
    }
}

TEST(Cdfchi, ZeroLowerTailIsAcceptedForDegreesOfFreedom) {
    Call r{3, 0.0, 1.0, 3.0, 0.0};
    r.run();
    EXPECT_EQ(r.status, 0);
    Call check = forward(3.0, r.df);
    EXPECT_LT(check.p, 1e-200);
}

TEST(Cdfchi, AnswersBeyondTheSearchLimitsReportTheLimit) {
    // Upper tail 1e-305 at x = 1 needs df below 1e-300: even there
    // Q(df/2, 1/2) is about 3e-301.
    Call below{3, 1.0, 1e-305, 1.0, 0.0};
    below.run();
    EXPECT_EQ(below.status, 1);
    EXPECT_EQ(below.bound, 1e-300);
    // Median 1e301 needs df of about 1e301, above the limit 1e300.
    Call above{3, 0.5, 0.5, 1e301, 0.0};
    above.run();
    EXPECT_EQ(above.status, 2);
    EXPECT_EQ(above.bound, 1e300);
}

TEST(Cdfchi, ForwardErrorIsReportedNotReturnedAsProbability) {
    // x/2 = df/2 beyond 6.65e28: the incomplete gamma ratio cannot reach its
    // accuracy there and signals an error.
    Call r = forward(2e30, 2e30);
    EXPECT_EQ(r.status, 10);
    EXPECT_EQ(r.bound, -99.0);
    EXPECT_EQ(r.p, -1.0);
    EXPECT_EQ(r.q, -1.0);
}

TEST(Cdfchi, NaNArgumentsFailTheirChecks) {
    struct Case {
        Call call;
        int status;
    };
    Case cases[] = {
        {{1, 0.5, 0.5, nan, 3.0}, -4}, {{1, 0.5, 0.5, 3.0, nan}, -5}, {{2, nan, 0.5, 0.0, 3.0}, -2},
        {{2, 0.5, nan, 0.0, 3.0}, -3}, {{2, 0.5, 0.5, 0.0, nan}, -5}, {{3, 0.5, 0.5, nan, 0.0}, -4},
    };
    for (Case& c : cases) {
        c.call.run();
        EXPECT_EQ(c.call.status, c.status) << "which " << c.call.which;
        EXPECT_EQ(c.call.bound, 0.0) << "which " << c.call.which;
    }
}

TEST(Cdfchi, ForwardErrorDuringTheSearchIsReported) {
    // The search evaluates at its upper limit 1e300, where x = df makes the
    // incomplete gamma ratio signal its error; both tails are affected.
    Call cases[] = {
        {2, 0.3, 0.7, 0.0, 1e300},
        {2, 0.7, 0.3, 0.0, 1e300},
        {3, 0.3, 0.7, 1e300, 0.0},
        {3, 0.7, 0.3, 1e300, 0.0},
    };
    for (Call& c : cases) {
        c.run();
        EXPECT_EQ(c.status, 10) << "which " << c.which << " p " << c.p;
    }
}

TEST(Cumchi, GivesBothTails) {
    double x = 2.0 * std::log(20.0);
    double df = 2.0;
    double cum = -1.0;
    double ccum = -1.0;
    cumchi(&x, &df, &cum, &ccum);
    // The df = 2 upper tail is exp(-x/2) = 0.05.
    EXPECT_NEAR(ccum, 0.05, 1e-16);
    EXPECT_NEAR(cum, 0.95, 1e-15);
}

}  // namespace
