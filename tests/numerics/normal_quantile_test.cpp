// Normal quantile and the t quantile's start value against R.
#include <gtest/gtest.h>

#include <cmath>

#include "numerics/normal_quantile.h"

namespace {

TEST(Dinvnr, MatchesRQnormInBothTails) {
    struct Case {
        double p, want;
    };
    // R: qnorm(p).
    const Case cases[] = {
        {0.975, 1.9599639845400536},  {0.025, -1.9599639845400536},  {0.3, -0.52440051270804067},
        {1e-10, -6.3613409024040557}, {1e-300, -37.047096299361201}, {0.999, 3.0902323061678132},
    };
    for (const Case& c : cases) {
        double p = c.p;
        double q = 1.0 - c.p;
        EXPECT_LE(std::fabs(dinvnr(&p, &q) - c.want), 1e-13 * std::fabs(c.want)) << "p=" << c.p;
    }
}

TEST(Dinvnr, UpperTailIsTakenFromQ) {
    // q = 1e-300 cannot be written as 1 - p; the quantile comes from q.
    double p = 1.0;
    double q = 1e-300;
    EXPECT_NEAR(dinvnr(&p, &q), 37.047096299361201, 1e-12);
}

TEST(Dinvnr, TailsBelowTheSmallestNormalDouble) {
    struct Case {
        double p, want;
    };
    // mpmath (50 digits): the root of ln ncdf(x) = ln p, p the double given.
    const Case cases[] = {
        {1e-310, -37.663060331949524},
        {1e-320, -38.26912534303265},
        {4.9406564584124654e-324, -38.467405617144344},
    };
    for (const Case& c : cases) {
        double p = c.p;
        double q = 1.0;
        EXPECT_LE(std::fabs(dinvnr(&p, &q) - c.want), 1e-13 * std::fabs(c.want)) << "p=" << c.p;
        EXPECT_LE(std::fabs(dinvnr(&q, &p) + c.want), 1e-13 * std::fabs(c.want)) << "q=" << c.p;
    }
}

TEST(Dinvnr, MedianIsExactlyZero) {
    double p = 0.5;
    double q = 0.5;
    EXPECT_EQ(dinvnr(&p, &q), 0.0);
}

TEST(Dt1, StartValueIsCloseToRQt) {
    struct Case {
        double p, df, want;
    };
    // R: qt(p, df); the four-term expansion is close for moderate df.
    const Case cases[] = {
        {0.975, 30, 2.0422724563012378},
        {0.1, 50, -1.2987136941948099},
        {0.999, 200, 3.1314798142211213},
    };
    for (const Case& c : cases) {
        double p = c.p;
        double q = 1.0 - c.p;
        double df = c.df;
        EXPECT_NEAR(dt1(&p, &q, &df), c.want, 1e-5 * std::fabs(c.want)) << "p=" << c.p << " df=" << c.df;
    }
}

}  // namespace
