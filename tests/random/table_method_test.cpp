// Table-method variates: fit of their draws to the density, the order of the
// three uniforms of a try, the strip of the extreme uniforms, and the table
// checks, which leave the object not ready when they fail.
#include "random/table_method.h"

#include <gtest/gtest.h>
#include <myexcept.h>

#include <cmath>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

#include "random/continuous.h"
#include "random/mt.h"
#include "random/random.h"
#include "support/goodness_of_fit.h"
#include "support/ranvar_error_check.h"
#include "support/scripted_generator.h"

namespace {

using RBD_COMMON::Runtime_error;

static_assert(!std::is_copy_constructible_v<PosGen> && !std::is_copy_assignable_v<PosGen>);
static_assert(!std::is_copy_constructible_v<AsymGen> && !std::is_copy_assignable_v<AsymGen>);

double HalfNormal(double x) { return 0.7978845608028654 * std::exp(-0.5 * x * x); }
double Laplace(double x) { return 0.5 * std::exp(-std::fabs(x)); }
double Gumbel(double x) { return std::exp(-(x + std::exp(-x))); }
double ExponentialDensity(double x) { return x < 0.0 ? 0.0 : std::exp(-x); }
double Nowhere(double) { return 0.0; }
double WideFlat(double x) { return std::fabs(x) < 100.0 ? 1.0 : 0.0; }
double HalfFlat(double x) { return std::fabs(x) < 100.0 ? 0.5 : 0.0; }
// Flat on [0, 0.5]: half the area above the mode 0 and none below.
double ShortFlat(double x) { return x >= 0.0 && x <= 0.5 ? 1.0 : 0.0; }
// Flat on (-100, 0.5]: little above the mode 0, far too much below.
double LongLowerFlat(double x) { return x > -100.0 && x <= 0.5 ? 1.0 : 0.0; }

class TableMethodTest : public ::testing::Test {
protected:
    void TearDown() override { Random::Set(*Random::Dummy); }
};

TEST_F(TableMethodTest, DrawsFitTheirDensity) {
    // Deciles from R: qnorm((1 + p) / 2); Laplace log(2p) and -log(2(1 - p));
    // Gumbel -log(-log(p)); qexp(p).
    struct Case {
        const char* label;
        std::function<std::unique_ptr<Random>()> make;
        std::vector<double> deciles;
    };
    const std::vector<Case> cases = {
        {"PosGenX half-normal",
         [] { return std::make_unique<PosGenX>(HalfNormal); },
         {0.1256613469, 0.2533471031, 0.3853204664, 0.5244005127, 0.6744897502, 0.8416212336, 1.036433389, 1.281551566,
          1.644853627}},
        {"SymGenX Laplace",
         [] { return std::make_unique<SymGenX>(Laplace); },
         {-1.609437912, -0.9162907319, -0.5108256238, -0.2231435513, 0, 0.2231435513, 0.5108256238, 0.9162907319,
          1.609437912}},
        {"AsymGenX Gumbel",
         [] { return std::make_unique<AsymGenX>(Gumbel, 0.0); },
         {-0.8340324452, -0.4758849953, -0.1856267589, 0.08742157179, 0.3665129206, 0.6717269921, 1.030930433,
          1.499939987, 2.250367327}},
        // The mode at the lower end of the support: the lower side is one strip
        // whose points are all rejected.
        {"AsymGenX exponential",
         [] { return std::make_unique<AsymGenX>(ExponentialDensity, 0.0); },
         {0.1053605157, 0.2231435513, 0.3566749439, 0.5108256238, 0.6931471806, 0.9162907319, 1.203972804, 1.609437912,
          2.302585093}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        MT generator(0.625);
        Random::Set(generator);
        std::unique_ptr<Random> variable = c.make();
        std::vector<double> sample(20000);
        for (double& x : sample) x = variable->Next();
        // R: qchisq(1 - 1e-4, 9) = 33.72.
        EXPECT_LT(ChiSquare(sample, Deciles(c.deciles)), 33.72);
    }
}

TEST_F(TableMethodTest, ModeAtTheLowerEndGivesNothingBelowIt) {
    MT generator(0.375);
    Random::Set(generator);
    AsymGenX variable(ExponentialDensity, 0.0);
    for (int i = 0; i < 20000; ++i) ASSERT_GE(variable.Next(), 0.0);
}

TEST_F(TableMethodTest, ATryDrawsStripPositionThenHeight) {
    // The first strip of exp(-x) is [0, 0.02]. The first try lands at height
    // 0.999999 over x = 0.01998, above the density, and is rejected; the second
    // is accepted under the strip's lower bound.
    ScriptedGenerator script({0.0, 0.999, 0.999999, 0.0, 0.5, 0.0});
    Random::Set(script);
    PosGenX variable(ExponentialDensity);
    EXPECT_EQ(variable.Next(), 0.01);
    EXPECT_EQ(script.Draws(), 6u);

    // The first strip above the mode of the Gumbel density is 0.01 / f(0) wide.
    ScriptedGenerator asym_script({0.0, 0.5, 0.0});
    Random::Set(asym_script);
    AsymGenX gumbel(Gumbel, 0.0);
    EXPECT_DOUBLE_EQ(gumbel.Next(), 0.5 * (0.01 / std::exp(-1.0)));
}

TEST_F(TableMethodTest, SymmetricSignFromTheFirstUniform) {
    Normal normal;
    ScriptedGenerator script({0.25, 0.3, 0.0, 0.75, 0.3, 0.0});
    Random::Set(script);
    const double positive = normal.Next();
    EXPECT_GT(positive, 0.0);
    EXPECT_EQ(normal.Next(), -positive);
}

TEST_F(TableMethodTest, ExtremeUniformsTakeTheLastStrip) {
    // A half of exactly 0.5 (positive sign) and a top of exactly 1 would choose
    // the strip past the last one; they take the last, whose lower edge is far out.
    Normal normal;
    ScriptedGenerator half({0.5, 0.0, 0.0});
    Random::Set(half);
    const double x = normal.Next();
    EXPECT_GT(x, 2.0);
    EXPECT_LE(x, 8.0);

    Exponential exponential;
    ScriptedGenerator top({1.0, 0.0, 0.0});
    Random::Set(top);
    const double y = exponential.Next();
    EXPECT_GT(y, 3.0);
    EXPECT_LE(y, 40.0);

    AsymGenX gumbel(Gumbel, 0.0);
    ScriptedGenerator asym_top({1.0, 0.0, 0.0});
    Random::Set(asym_top);
    const double z = gumbel.Next();
    EXPECT_LT(z, -1.0);
    EXPECT_TRUE(std::isfinite(z));
}

TEST_F(TableMethodTest, FailedTablesRaiseAtEveryDraw) {
    MT generator(0.5);
    Random::Set(generator);
    struct Case {
        const char* label;
        std::function<std::unique_ptr<Random>()> make;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"zero at 0", [] { return std::make_unique<PosGenX>(Nowhere); }, "Ranvar: area too small"},
        {"area 0.5", [] { return std::make_unique<PosGenX>(ShortFlat); }, "Ranvar: area too small"},
        {"area 100", [] { return std::make_unique<PosGenX>(WideFlat); }, "Ranvar: area too large"},
        {"symmetric area 100", [] { return std::make_unique<SymGenX>(HalfFlat); }, "Ranvar: area too large"},
        {"asymmetric zero", [] { return std::make_unique<AsymGenX>(Nowhere, 0.0); }, "Ranvar: area too small"},
        {"asymmetric area 0.5", [] { return std::make_unique<AsymGenX>(ShortFlat, 0.0); }, "Ranvar: area too small"},
        {"wide above", [] { return std::make_unique<AsymGenX>(WideFlat, 0.0); }, "Ranvar: area too large (a)"},
        {"wide below", [] { return std::make_unique<AsymGenX>(LongLowerFlat, 0.0); }, "Ranvar: area too large (b)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::unique_ptr<Random> variable = c.make();
        EXPECT_TRUE(Raises<Runtime_error>([&] { variable->Next(); }, c.message));
        EXPECT_TRUE(Raises<Runtime_error>([&] { variable->Next(); }, c.message));
    }
}

TEST_F(TableMethodTest, NamesAndUnknownMoments) {
    PosGenX pos(HalfNormal);
    SymGenX sym(Laplace);
    AsymGenX asym(Gumbel, 0.0);
    EXPECT_STREQ(pos.Name(), "PosGenX");
    EXPECT_STREQ(sym.Name(), "SymGenX");
    EXPECT_STREQ(asym.Name(), "AsymGenX");
    for (const Random* r : std::vector<const Random*>{&pos, &sym, &asym}) {
        EXPECT_EQ(r->Mean().Kind(), Missing);
        EXPECT_EQ(r->Variance().Kind(), Missing);
    }
    EXPECT_EQ(asym.Density(0.0), std::exp(-1.0));
}

}  // namespace
