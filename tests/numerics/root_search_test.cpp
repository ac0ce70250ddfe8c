// Bounded root search: the order of the requested evaluations, the answers
// and the out-of-limit reports of dinvr and dzror, and their small helpers.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "numerics/root_search.h"
#include "numerics/support/fatal_capture.h"

namespace {

struct SearchResult {
    int status;
    double x;
    int qleft;
    int qhi;
    std::vector<double> requested;
};

// Runs dinvr with the constants of the distribution functions' searches.
SearchResult search(const std::function<double(double)>& f, double small, double big, double start) {
    double absstp = 0.5, relstp = 0.5, stpmul = 5.0, abstol = 1e-50, reltol = 1e-8;
    dstinv(&small, &big, &absstp, &relstp, &stpmul, &abstol, &reltol);
    SearchResult r{0, start, -1, -1, {}};
    double fx = 0.0;
    dinvr(&r.status, &r.x, &fx, &r.qleft, &r.qhi);
    while (r.status == 1 && r.requested.size() < 10000) {
        r.requested.push_back(r.x);
        fx = f(r.x);
        dinvr(&r.status, &r.x, &fx, &r.qleft, &r.qhi);
    }
    return r;
}

TEST(Dinvr, FindsRootWithinTheRelativeTolerance) {
    SearchResult r = search([](double x) { return x - 3.0; }, 0.0, 1e300, 5.0);
    EXPECT_EQ(r.status, 0);
    EXPECT_NEAR(r.x, 3.0, 3e-8);
}

TEST(Dinvr, AsksForLimitsThenStartThenStepsDownIntoTheZeroFinder) {
    SearchResult r = search([](double x) { return x - 3.0; }, 0.0, 1e300, 5.0);
    // f(small), f(big), f(start), a step of max(0.5, 0.5 * 5) down, then the
    // zero finder's two ends of the bracket [2.5, 5].
    const std::vector<double> first = {0.0, 1e300, 5.0, 2.5, 2.5, 5.0};
    ASSERT_GE(r.requested.size(), first.size());
    EXPECT_EQ(std::vector<double>(r.requested.begin(), r.requested.begin() + 6), first);
}

TEST(Dinvr, StepsUpWithGrowingSteps) {
    SearchResult r = search([](double x) { return x - 100.0; }, 0.0, 1e300, 5.0);
    // Steps 2.5, 12.5, 62.5, 312.5; the bracket [82.5, 395] goes to the zero finder.
    const std::vector<double> first = {0.0, 1e300, 5.0, 7.5, 20.0, 82.5, 395.0, 82.5, 395.0};
    ASSERT_GE(r.requested.size(), first.size());
    EXPECT_EQ(std::vector<double>(r.requested.begin(), r.requested.begin() + 9), first);
    EXPECT_EQ(r.status, 0);
    EXPECT_NEAR(r.x, 100.0, 1e-6);
}

TEST(Dinvr, DecreasingFunction) {
    SearchResult r = search([](double x) { return 2.0 - x * x; }, 0.0, 100.0, 50.0);
    EXPECT_EQ(r.status, 0);
    EXPECT_NEAR(r.x, std::sqrt(2.0), 3e-8);
}

TEST(Dinvr, ExactZeroAtTheStartEndsAtOnce) {
    SearchResult r = search([](double x) { return x - 5.0; }, 0.0, 10.0, 5.0);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.x, 5.0);
    EXPECT_EQ(r.requested.size(), 3u);
}

TEST(Dinvr, NoSignChangeReportsTheSideAndTheSign) {
    struct Case {
        double (*f)(double);
        int qleft, qhi;
        const char* why;
    };
    const Case cases[] = {
        {[](double x) { return x + 1.0; }, 1, 1, "increasing, positive everywhere"},
        {[](double x) { return x - 20.0; }, 0, 0, "increasing, negative everywhere"},
        {[](double x) { return -x - 1.0; }, 1, 0, "decreasing, negative everywhere"},
        {[](double x) { return 20.0 - x; }, 0, 1, "decreasing, positive everywhere"},
    };
    for (const Case& c : cases) {
        SearchResult r = search(c.f, 0.0, 10.0, 5.0);
        EXPECT_EQ(r.status, -1) << c.why;
        EXPECT_EQ(r.qleft, c.qleft) << c.why;
        EXPECT_EQ(r.qhi, c.qhi) << c.why;
        EXPECT_EQ(r.requested.size(), 2u) << c.why;
    }
}

TEST(Dinvr, ZeroOnlyAtTheUpperLimitIsFound) {
    SearchResult r = search([](double x) { return x < 10.0 ? -1.0 : 0.0; }, 0.0, 10.0, 5.0);
    EXPECT_EQ(r.status, 0);
    EXPECT_NEAR(r.x, 10.0, 1e-7);
}

TEST(Dinvr, NaNValuesEndTheSearchWithAnError) {
    SearchResult r = search([](double) { return std::numeric_limits<double>::quiet_NaN(); }, 0.0, 1e300, 5.0);
    EXPECT_EQ(r.status, -1);
    EXPECT_LT(r.requested.size(), 1000u);
}

TEST(Dinvr, TinyValuesKeepTheirSigns) {
    // Values near 1e-200 on both sides of the root: their products underflow.
    for (double scale : {1e-160, 1e-200, 1e-300}) {
        SearchResult r = search([scale](double x) { return scale * (x * x * x - 20.0); }, 0.0, 1e300, 5.0);
        EXPECT_EQ(r.status, 0) << scale;
        EXPECT_NEAR(r.x, std::cbrt(20.0), 3e-8) << scale;
        EXPECT_LT(r.requested.size(), 40u) << scale;
    }
}

TEST(Dinvr, AFailedZeroFinderIsReported) {
    // The bracket [2.5, 5] holds the change of sign, but NaN values around
    // the root keep the zero finder from closing in on it.
    SearchResult r =
        search([](double x) { return x > 2.9 && x < 3.1 ? std::numeric_limits<double>::quiet_NaN() : x - 3.0; }, 0.0,
               1e300, 5.0);
    EXPECT_EQ(r.status, -2);
}

TEST(Dinvr, StartOutsideTheLimitsEndsTheProcessWithItsMessage) {
    FatalCapture capture;
    for (double start : {-1.0, 11.0, std::numeric_limits<double>::quiet_NaN()}) {
        testing::internal::CaptureStderr();
        EXPECT_THROW(search([](double x) { return x; }, 0.0, 10.0, start), NumericsFatal);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), " SMALL, X, BIG not monotone in INVR\n");
    }
}

struct ZeroResult {
    int status;
    double xlo, xhi;
    int qleft, qhi;
};

ZeroResult zero(const std::function<double(double)>& f, double lo, double hi) {
    double abstol = 1e-50, reltol = 1e-8;
    dstzr(&lo, &hi, &abstol, &reltol);
    ZeroResult r{0, 0.0, 0.0, -1, -1};
    double x = 0.0;
    double fx = 0.0;
    int calls = 0;
    dzror(&r.status, &x, &fx, &r.xlo, &r.xhi, &r.qleft, &r.qhi);
    while (r.status == 1 && ++calls < 100000) {
        fx = f(x);
        dzror(&r.status, &x, &fx, &r.xlo, &r.xhi, &r.qleft, &r.qhi);
    }
    return r;
}

TEST(Dzror, BracketsTheZeroWithinTheTolerance) {
    ZeroResult r = zero([](double x) { return x * x - 0.5; }, 0.0, 1.0);
    EXPECT_EQ(r.status, 0);
    EXPECT_NEAR(r.xlo, std::sqrt(0.5), 1e-8);
    EXPECT_LE(std::fabs(r.xhi - r.xlo), 1e-8);
    EXPECT_LE(std::fabs(r.xlo * r.xlo - 0.5), std::fabs(r.xhi * r.xhi - 0.5));
}

TEST(Dzror, SameSignAtBothEnds) {
    ZeroResult pos = zero([](double x) { return x + 1.0; }, 0.0, 1.0);
    EXPECT_EQ(pos.status, -1);
    EXPECT_EQ(pos.qleft, 1);  // smaller at the low end
    EXPECT_EQ(pos.qhi, 1);
    ZeroResult neg = zero([](double x) { return x - 2.0; }, 0.0, 1.0);
    EXPECT_EQ(neg.status, -1);
    EXPECT_EQ(neg.qleft, 0);  // nearer zero at the high end
    EXPECT_EQ(neg.qhi, 0);
}

TEST(Dzror, NaNValuesEndTheSearchWithAnError) {
    ZeroResult r = zero([](double x) { return x < 0.3 ? -1.0 : std::numeric_limits<double>::quiet_NaN(); }, 0.0, 1.0);
    EXPECT_EQ(r.status, -2);
}

TEST(Dzror, TinyValuesKeepTheirSigns) {
    for (double scale : {1e-160, 1e-200, 1e-300}) {
        ZeroResult r = zero([scale](double x) { return scale * (std::exp(x) - 1.5); }, 0.0, 1.0);
        EXPECT_EQ(r.status, 0) << scale;
        EXPECT_NEAR(r.xlo, std::log(1.5), 1e-8) << scale;
    }
}

TEST(Dzror, EndsBeyondHalfTheLargestDouble) {
    // (c + b) / 2 overflows here.
    ZeroResult r = zero([](double x) { return x - 1.5e308; }, 1e308, 1.7e308);
    EXPECT_EQ(r.status, 0);
    EXPECT_NEAR(r.xlo, 1.5e308, 1e-8 * 1.5e308);
}

TEST(Dzror, AnEndlessSearchIsCutShort) {
    // Infinite ends give no midpoint: no step makes progress.
    const double inf = std::numeric_limits<double>::infinity();
    ZeroResult r = zero([](double x) { return x; }, -inf, inf);
    EXPECT_EQ(r.status, -2);
}

TEST(RootSearchHelpers, TruncationSignAndRemainder) {
    EXPECT_EQ(fifdint(-2.7), -2.0);
    EXPECT_EQ(fifdint(2.7), 2.0);
    EXPECT_EQ(fifdmax1(1.0, 2.0), 2.0);
    EXPECT_EQ(fifdmin1(1.0, 2.0), 1.0);
    EXPECT_EQ(fifdsign(3.0, 0.0), 3.0);
    EXPECT_EQ(fifdsign(3.0, -2.0), -3.0);
    EXPECT_EQ(fifdsign(-3.0, 1.0), 3.0);
    EXPECT_EQ(fifidint(2.7), 2);
    EXPECT_EQ(fifidint(0.5), 0);
    EXPECT_EQ(fifidint(-3.5), 0);
    EXPECT_EQ(fifmod(7, 3), 1);
    EXPECT_EQ(fifmod(-7, 3), -1);
}

TEST(Ftnstop, WritesTheMessageAndEndsWithFailure) {
    EXPECT_EXIT(ftnstop("stopped here"), testing::ExitedWithCode(1), "^stopped here\n$");
    EXPECT_EXIT(ftnstop(nullptr), testing::ExitedWithCode(1), "^$");
}

}  // namespace
