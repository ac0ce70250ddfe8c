// Continuous distributions: moments and goodness of fit of fixed-seed samples
// against their closed-form laws, the components that the chi-squared and
// gamma variables draw through, the shared normal tables and the errors.
#include "random/continuous.h"

#include <gtest/gtest.h>
#include <myexcept.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "random/mt.h"
#include "random/random.h"
#include "random/stable.h"
#include "support/goodness_of_fit.h"
#include "support/ranvar_error_check.h"
#include "support/scripted_generator.h"

namespace {

using RBD_COMMON::Invalid_argument;
using RBD_COMMON::Logic_error;

const int kSampleSize = 20000;
// Chi-squared with 9 degrees of freedom exceeds this with probability 1e-4
// (R: qchisq(1 - 1e-4, 9)).
const double kChiSquareLimit = 33.72;

struct Case {
    const char* label;
    std::function<std::unique_ptr<Random>()> make;
    ExtReal mean;
    ExtReal variance;
    std::vector<double> deciles;
};

template <class T, class... Args>
std::function<std::unique_ptr<Random>()> Make(Args... args) {
    return [=] { return std::unique_ptr<Random>(new T(args...)); };
}

// Deciles from R (qnorm, qchisq, qcauchy, qexp, qgamma, qunif at 0.1, ..., 0.9;
// Pareto (1 - p)^(-1 / shape); Levy with scale c: c / qnorm(1 - p / 2)^2),
// and for the skewed stable laws from python mpmath, by Gil-Pelaez inversion
// of the characteristic function (findroot of the integral at each decile).
const std::vector<Case>& Cases() {
    const ExtReal plus_infinity(PlusInfinity), indefinite(Indefinite);
    static const std::vector<Case> cases = {
        {"Uniform", Make<Uniform>(), 0.5, 1.0 / 12.0, {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9}},
        {"Normal",
         Make<Normal>(),
         0.0,
         1.0,
         {-1.281551566, -0.8416212336, -0.5244005127, -0.2533471031, 0, 0.2533471031, 0.5244005127, 0.8416212336,
          1.281551566}},
        {"ChiSq1(2)",
         Make<ChiSq1>(2.0),
         3.0,
         10.0,
         {0.1119668477, 0.411742597, 0.8425925256, 1.376764459, 2.016319507, 2.789571678, 3.762668747, 5.090741882,
          7.267757198}},
        {"ChiSq(1, 0)",
         Make<ChiSq>(1, 0.0),
         1.0,
         2.0,
         {0.01579077409, 0.06418475467, 0.1484718618, 0.2749958977, 0.4549364231, 0.7083263008, 1.074194171,
          1.642374415, 2.705543454}},
        {"ChiSq(1, 0.7)",
         Make<ChiSq>(1, 0.7),
         1.7,
         4.8,
         {0.03173294539, 0.1281895778, 0.2935073246, 0.5359403614, 0.8705557226, 1.325097725, 1.954424478, 2.884990794,
          4.523803452}},
        {"ChiSq(2, 0)",
         Make<ChiSq>(2, 0.0),
         2.0,
         4.0,
         {0.2107210313, 0.4462871026, 0.7133498879, 1.021651248, 1.386294361, 1.832581464, 2.407945609, 3.218875825,
          4.605170186}},
        {"ChiSq(5, 0)",
         Make<ChiSq>(5, 0.0),
         5.0,
         10.0,
         {1.610307987, 2.342534306, 2.999908133, 3.655499623, 4.351460191, 5.131867074, 6.064429984, 7.289276127,
          9.2363569}},
        {"ChiSq(2, 3)",
         Make<ChiSq>(2, 3.0),
         5.0,
         16.0,
         {0.8295025959, 1.600149021, 2.370843967, 3.178506237, 4.059801668, 5.06436158, 6.276479624, 7.876284819,
          10.41994353}},
        {"ChiSq(3, 1.5)",
         Make<ChiSq>(3, 1.5),
         4.5,
         12.0,
         {0.9455465915, 1.607464551, 2.252927977, 2.928174903, 3.668744846, 4.519444946, 5.555291981, 6.93661954,
          9.160416977}},
        {"ChiSq(6, 2.5)",
         Make<ChiSq>(6, 2.5),
         8.5,
         22.0,
         {3.254811247, 4.494963073, 5.565944716, 6.604978171, 7.68316188, 8.867645902, 10.2553698, 12.04094434,
          14.81154357}},
        {"Cauchy",
         Make<Cauchy>(),
         indefinite,
         plus_infinity,
         {-3.077683537, -1.37638192, -0.726542528, -0.3249196962, 0, 0.3249196962, 0.726542528, 1.37638192,
          3.077683537}},
        {"Exponential",
         Make<Exponential>(),
         1.0,
         1.0,
         {0.1053605157, 0.2231435513, 0.3566749439, 0.5108256238, 0.6931471806, 0.9162907319, 1.203972804, 1.609437912,
          2.302585093}},
        {"Gamma(0.5)",
         Make<Gamma>(0.5),
         0.5,
         0.5,
         {0.007895387047, 0.03209237733, 0.07423593092, 0.1374979489, 0.2274682116, 0.3541631504, 0.5370970854,
          0.8211872076, 1.352771727}},
        {"Gamma(1)",
         Make<Gamma>(1.0),
         1.0,
         1.0,
         {0.1053605157, 0.2231435513, 0.3566749439, 0.5108256238, 0.6931471806, 0.9162907319, 1.203972804, 1.609437912,
          2.302585093}},
        {"Gamma(4.5)",
         Make<Gamma>(4.5),
         4.5,
         4.5,
         {2.084079504, 2.690026606, 3.196652982, 3.678517251, 4.171416346, 4.706820047, 5.328186003, 6.121072735,
          7.341828287}},
        {"Gamma1(0.3)",
         Make<Gamma1>(0.3),
         0.3,
         0.3,
         {0.0003237246218, 0.003270339525, 0.01272665777, 0.03373979265, 0.07313113587, 0.1412525036, 0.2565649133,
          0.460073887, 0.8848107734}},
        {"Gamma2(1.2)",
         Make<Gamma2>(1.2),
         1.2,
         1.2,
         {0.1718983742, 0.3279759301, 0.4935781616, 0.6771263218, 0.8879362135, 1.140034374, 1.45874626, 1.9000888,
          2.641460426}},
        {"Gamma2(30)",
         Make<Gamma2>(30.0),
         30.0,
         30.0,
         {23.22944415, 25.32030897, 26.90456307, 28.30999739, 29.66733314, 31.06742006, 32.6132537, 34.48603437,
          37.19850286}},
        {"Pareto(3)",
         Make<Pareto>(3.0),
         1.5,
         0.75,
         {1.035744169, 1.077217345, 1.12624788, 1.185631101, 1.25992105, 1.357208808, 1.493801582, 1.709975947,
          2.15443469}},
        {"Pareto(0.8)",
         Make<Pareto>(0.8),
         plus_infinity,
         plus_infinity,
         {1.140766773, 1.321714079, 1.561807306, 1.893698944, 2.37841423, 3.143583574, 4.504000516, 7.476743906,
          17.7827941}},
        // alpha = 2: normal with variance 2, whatever beta and the notation.
        {"Stable(2, 0.7, Classical)",
         Make<Stable>(2.0, 0.7, Stable::Classical),
         0.0,
         2.0,
         {-1.812387605, -1.190232163, -0.7416143172, -0.3582869092, 0, 0.3582869092, 0.7416143172, 1.190232163,
          1.812387605}},
        // alpha = 1, beta = 0: the standard Cauchy law.
        {"Stable(1, 0, NotGiven)",
         Make<Stable>(1.0, 0.0, Stable::NotGiven),
         indefinite,
         plus_infinity,
         {-3.077683537, -1.37638192, -0.726542528, -0.3249196962, 0, 0.3249196962, 0.726542528, 1.37638192,
          3.077683537}},
        // alpha = 1/2, beta = 1: Levy with scale 1 (Classical), shifted by
        // -tan(pi / 4) (Continuous), with scale cos(pi / 4)^2 (Zolotarev).
        {"Stable(0.5, 1, Classical)",
         Make<Stable>(0.5, 1.0, Stable::Classical),
         plus_infinity,
         plus_infinity,
         {0.3696115095, 0.6088745604, 0.9309303915, 1.411778722, 2.198109338, 3.636417882, 6.735282953, 15.58002372,
          63.32811768}},
        {"Stable(0.5, 1, Continuous)",
         Make<Stable>(0.5, 1.0, Stable::Continuous),
         plus_infinity,
         plus_infinity,
         {-0.6303884908, -0.3911254521, -0.06906952631, 0.4117771614, 1.198118049, 2.636458775, 5.73520491, 14.58086987,
          62.37022109}},
        {"Stable(0.5, 1, Zolotarev)",
         Make<Stable>(0.5, 1.0, Stable::Zolotarev),
         plus_infinity,
         plus_infinity,
         {0.1848057547, 0.3044372802, 0.4654651957, 0.7058893612, 1.099054669, 1.818208941, 3.367641476, 7.790011859,
          31.66405884}},
        {"Stable(1.5, 0.5, Classical)",
         Make<Stable>(1.5, 0.5, Stable::Classical),
         0.0,
         plus_infinity,
         {-2.131270091, -1.507590846, -1.083153816, -0.7184432101, -0.3661469577, 0.006346917267, 0.4403161662,
          1.02294358, 2.082317851}},
        {"Stable(0.7, -0.4, Continuous)",
         Make<Stable>(0.7, -0.4, Stable::Continuous),
         indefinite,
         plus_infinity,
         {-9.991349821, -3.268281075, -1.462088539, -0.6495437323, -0.1821699792, 0.1372885004, 0.4030045223,
          0.7694002974, 2.313577141}},
        {"Stable(1.2, 0.8, Zolotarev)",
         Make<Stable>(1.2, 0.8, Stable::Zolotarev),
         0.0,
         plus_infinity,
         {-1.231932598, -0.1853206402, 0.2806058907, 0.5835742021, 0.8197895856, 1.028197386, 1.234377055, 1.471876147,
          1.855326098}},
        // Close to 2 the draw takes its other form of the skewness term.
        {"Stable(1.995, 0.6, Continuous)",
         Make<Stable>(1.995, 0.6, Stable::Continuous),
         -0.6 * std::tan(1.995 * 1.570796327),
         plus_infinity,
         {-1.809203699, -1.18750937, -0.7392477337, -0.3561478708, 0.002047216123, 0.3604142011, 0.7440920637,
          1.193611283, 1.818392842}},
    };
    return cases;
}

void ExpectSameExtReal(const ExtReal& expected, const ExtReal& actual, const char* what) {
    ASSERT_EQ(expected.Kind(), actual.Kind()) << what;
    if (expected.Kind() == Finite) {
        EXPECT_NEAR(expected.Value(), actual.Value(), 1e-12) << what;
    }
}

class ContinuousTest : public ::testing::Test {
protected:
    void TearDown() override { Random::Set(*Random::Dummy); }
};

TEST_F(ContinuousTest, SamplesFitTheirLawsAndReportedMoments) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.label);
        MT generator(0.2718281828);
        Random::Set(generator);
        std::unique_ptr<Random> variable = c.make();
        ExpectSameExtReal(c.mean, variable->Mean(), "mean");
        ExpectSameExtReal(c.variance, variable->Variance(), "variance");

        std::vector<double> sample(kSampleSize);
        for (double& x : sample) x = variable->Next();
        EXPECT_LT(ChiSquare(sample, Deciles(c.deciles)), kChiSquareLimit);
        if (c.mean.Kind() == Finite && c.variance.Kind() == Finite) {
            const Moments m = SampleMoments(sample);
            EXPECT_NEAR(m.mean, c.mean.Value(), 5.0 * m.mean_se);
            EXPECT_NEAR(m.variance, c.variance.Value(), 5.0 * m.variance_se);
        }
    }
}

// Draws the same uniforms for both calls.
double WithSeed(double seed, const std::function<double()>& draw) {
    MT generator(seed);
    Random::Set(generator);
    return draw();
}

TEST_F(ContinuousTest, ChiSquaredDrawsThroughTheComponentsOfItsDegrees) {
    const double seed = 0.4142;
    ChiSq1 central_one(0.0), half(1.5), noncentral(2.0);
    Exponential exponential;
    Gamma2 gamma2(2.5), gamma1_5(1.5);
    struct Expectation {
        int df;
        double noncentrality;
        std::function<double()> components;
    };
    const std::vector<Expectation> expectations = {
        {1, 0.0, [&] { return central_one.Next(); }},
        {2, 0.0, [&] { return 2.0 * exponential.Next(); }},
        {5, 0.0, [&] { return 2.0 * gamma2.Next(); }},
        {2, 3.0,
         [&] {
             const double a = half.Next();
             return a + half.Next();
         }},
        {3, 2.0,
         [&] {
             const double a = 2.0 * exponential.Next();
             return a + noncentral.Next();
         }},
        {4, 2.0,
         [&] {
             const double a = 2.0 * gamma1_5.Next();
             return a + noncentral.Next();
         }},
    };
    for (const Expectation& e : expectations) {
        SCOPED_TRACE(testing::Message() << "ChiSq(" << e.df << ", " << e.noncentrality << ")");
        ChiSq chi(e.df, e.noncentrality);
        for (int i = 0; i < 5; ++i) {
            const double s = seed + 0.1 * i;
            EXPECT_EQ(WithSeed(s, [&] { return chi.Next(); }), WithSeed(s, e.components));
        }
    }
}

TEST_F(ContinuousTest, GammaDrawsThroughTheMethodOfItsShape) {
    Gamma small(0.5), one(1.0), large(2.5);
    Gamma1 gamma1(0.5);
    Exponential exponential;
    Gamma2 gamma2(2.5);
    EXPECT_STREQ(gamma1.Name(), "PosGen");
    EXPECT_STREQ(gamma2.Name(), "AsymGen");
    EXPECT_STREQ(small.Name(), "Gamma");
    for (double s : {0.11, 0.52, 0.93}) {
        EXPECT_EQ(WithSeed(s, [&] { return small.Next(); }), WithSeed(s, [&] { return gamma1.Next(); }));
        EXPECT_EQ(WithSeed(s, [&] { return one.Next(); }), WithSeed(s, [&] { return exponential.Next(); }));
        EXPECT_EQ(WithSeed(s, [&] { return large.Next(); }), WithSeed(s, [&] { return gamma2.Next(); }));
    }
}

TEST_F(ContinuousTest, NormalTablesAreSharedAndOutliveAllButTheLastNormal) {
    MT generator(0.5772);
    Random::Set(generator);
    auto first = std::make_unique<Normal>();
    Normal second;
    ChiSq1 third(1.0);
    first->Next();
    first.reset();
    // The survivors still draw from valid tables (the sanitizers would object
    // to freed ones), and give the same stream as a lone Normal.
    MT reseed(0.5772);
    const double from_second = second.Next();
    EXPECT_TRUE(std::isfinite(third.Next()));
    MT again(0.5772);
    Normal fourth;
    EXPECT_EQ(fourth.Next(), from_second);
}

TEST_F(ContinuousTest, NormalBuildsFreshTablesAfterTheLastOneIsGone) {
    MT generator(0.1234);
    Random::Set(generator);
    double first;
    {
        Normal only;
        first = only.Next();
    }
    MT reseed(0.1234);
    Normal fresh;
    EXPECT_EQ(fresh.Next(), first);
}

TEST_F(ContinuousTest, DensitiesAtTheirCuts) {
    Normal normal;
    EXPECT_GT(normal.Density(8.0), 0.0);
    EXPECT_EQ(normal.Density(8.000001), 0.0);
    EXPECT_EQ(normal.Density(-8.000001), 0.0);
    Uniform uniform;
    EXPECT_EQ(uniform.Density(0.0), 1.0);
    EXPECT_EQ(uniform.Density(1.0), 1.0);
    EXPECT_EQ(uniform.Density(1.0000001), 0.0);
    EXPECT_EQ(uniform.Density(-1e-300), 0.0);
    Exponential exponential;
    EXPECT_GT(exponential.Density(40.0), 0.0);
    EXPECT_EQ(exponential.Density(40.000001), 0.0);
    EXPECT_EQ(exponential.Density(-0.1), 0.0);
    Cauchy cauchy;
    EXPECT_GT(cauchy.Density(1e15), 0.0);
    EXPECT_EQ(cauchy.Density(1.1e15), 0.0);
    // Gamma(3) density at 2: R dgamma(2, 3) = 0.2706705664732254.
    Gamma2 gamma2(3.0);
    EXPECT_NEAR(gamma2.Density(2.0), 0.2706705664732254, 1e-15);
    EXPECT_EQ(gamma2.Density(0.0), 0.0);
}

TEST_F(ContinuousTest, ConstantAlwaysGivesItsValue) {
    Constant c(2.5);
    Random::Set(*Random::Dummy);  // draws nothing: the placeholder would raise
    EXPECT_EQ(c.Next(), 2.5);
    EXPECT_EQ(c.Mean().Value(), 2.5);
    EXPECT_EQ(c.Variance().Value(), 0.0);
    EXPECT_STREQ(c.Name(), "Constant");
    EXPECT_TRUE(Raises<Logic_error>([&] { c.Density(1.0); }, "Ranvar: density function not available"));
}

TEST_F(ContinuousTest, NamesOfTheDistributions) {
    EXPECT_STREQ(Uniform().Name(), "Uniform");
    EXPECT_STREQ(Normal().Name(), "Normal");
    EXPECT_STREQ(ChiSq1(1.0).Name(), "Normal");
    EXPECT_STREQ(ChiSq(3, 0.0).Name(), "ChiSq");
    EXPECT_STREQ(Cauchy().Name(), "Cauchy");
    EXPECT_STREQ(Exponential().Name(), "Exponential");
    EXPECT_STREQ(Pareto(2.0).Name(), "Pareto");
    EXPECT_STREQ(Stable(1.5, 0.0, Stable::Continuous).Name(), "Stable");
}

TEST_F(ContinuousTest, ParameterErrors) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(Raises<Logic_error>([] { ChiSq(0, 1.0); }, "Ranvar: illegal parameters"));
    EXPECT_TRUE(Raises<Logic_error>([] { ChiSq(-2, 0.0); }, "Ranvar: illegal parameters"));
    EXPECT_TRUE(Raises<Logic_error>([] { ChiSq(3, -1.0); }, "Ranvar: illegal parameters"));
    EXPECT_TRUE(Raises<Logic_error>([] { Pareto(0.0); }, "Ranvar: illegal parameter"));
    EXPECT_TRUE(Raises<Logic_error>([] { Pareto(-1.0); }, "Ranvar: illegal parameter"));
    EXPECT_TRUE(Raises<Logic_error>([&] { Pareto p(nan); }, "Ranvar: illegal parameter"));
    // Gamma(-1.5) needs ln gamma(-0.5), and gamma(-0.5) < 0.
    EXPECT_TRUE(Raises<Invalid_argument>([] { Gamma(-1.5); }, "Negative gamma value "));
    EXPECT_TRUE(Raises<Invalid_argument>([] { Gamma2(-1.0); }, "Non-positive integer argument "));
    EXPECT_TRUE(
        Raises<Logic_error>([] { Stable(1.5, 0.3, Stable::NotGiven); }, "Ranvar: must specify Stable notation"));
    EXPECT_TRUE(Raises<Logic_error>([] { Stable(0.8, -1.0, static_cast<Stable::Notation>(7)); },
                                    "Ranvar: must specify Stable notation"));
    // Without a notation only the laws that need none are accepted.
    EXPECT_NO_THROW(Stable(1.5, 0.0, Stable::NotGiven));
    EXPECT_NO_THROW(Stable(1.0, 0.5, Stable::NotGiven));
    EXPECT_NO_THROW(Stable(2.0, -0.5, Stable::NotGiven));
}

TEST_F(ContinuousTest, ParetoAndStableMoments) {
    EXPECT_EQ(Pareto(1.0).Mean().Kind(), PlusInfinity);
    EXPECT_EQ(Pareto(2.0).Variance().Kind(), PlusInfinity);
    EXPECT_DOUBLE_EQ(Pareto(2.0).Mean().Value(), 2.0);
    // Mean -beta tan(alpha pi / 2) in the continuous notation, 0 in the others.
    EXPECT_NEAR(Stable(1.5, 0.5, Stable::Continuous).Mean().Value(), 0.5, 1e-9);
    EXPECT_EQ(Stable(1.5, 0.5, Stable::Classical).Mean().Value(), 0.0);
    EXPECT_EQ(Stable(0.5, -1.0, Stable::Classical).Mean().Kind(), MinusInfinity);
    EXPECT_EQ(Stable(0.5, 0.2, Stable::Classical).Mean().Kind(), Indefinite);
    EXPECT_EQ(Stable(1.0, 0.2, Stable::Classical).Mean().Kind(), Indefinite);
    EXPECT_EQ(Stable(1.9, 0.0, Stable::Classical).Variance().Kind(), PlusInfinity);
    EXPECT_EQ(Stable(0.5, 0.0, Stable::Classical).Variance().Kind(), PlusInfinity);
    EXPECT_EQ(Stable(2.0, 0.0, Stable::NotGiven).Variance().Value(), 2.0);
}

TEST_F(ContinuousTest, StableNotationsShiftTheSameDraw) {
    Stable continuous(1.5, 0.5, Stable::Continuous), classical(1.5, 0.5, Stable::Classical);
    const double shift = 0.5 * std::tan(1.5 * 1.570796327);
    for (double s : {0.15, 0.45, 0.85}) {
        const double x0 = WithSeed(s, [&] { return continuous.Next(); });
        EXPECT_NEAR(WithSeed(s, [&] { return classical.Next(); }), x0 + shift, 1e-12);
    }
}

TEST_F(ContinuousTest, StableDrawsTwoUniforms) {
    MT source(0.31);
    CountingGenerator counter(source);
    Random::Set(counter);
    Stable stable(0.9, 0.4, Stable::Zolotarev);
    for (int i = 0; i < 100; ++i) stable.Next();
    EXPECT_EQ(counter.Draws(), 200u);
}

}  // namespace
