// Mixtures, repeats and owned expressions: component frequencies and order,
// the moment rules over every kind of extended real, the errors, and the
// ownership of nodes and components (leaks and double frees show under the
// sanitizers).
#include "random/mixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "random/combinations.h"
#include "random/continuous.h"
#include "random/mt.h"
#include "support/chi_square_limit.h"
#include "support/ext_real_check.h"
#include "support/fake_variable.h"
#include "support/goodness_of_fit.h"
#include "support/ranvar_error_check.h"
#include "support/scripted_generator.h"

namespace {

const char* add_up = "Ranvar: probs don't add to 1";

TEST(MixedRandomTest, MomentsOfMixtures) {
    Fake N1(0.0, 1.0), N2(0.0, 1.0), Zero(0.0, 0.0), One(1.0, 0.0);
    Fake A(1.0, 2.0), B(3.0, 4.0), D(-1.0, 0.0);
    Fake P(PlusInfinity, PlusInfinity), C(Indefinite, PlusInfinity), M(Missing, Missing);
    Fake U(0.5, 0.08333333333333333);
    struct Case {
        const char* mixture;
        AddedSelectedRandom& selection;
        ExtReal mean;
        ExtReal variance;
    };
    const std::vector<Case> cases = {
        {"N(0.25) + N(0.75)", N1(0.25) + N2(0.75), 0.0, 1.0},
        {"0(0.5) + 1(0.5)", Zero(0.5) + One(0.5), 0.5, 0.25},
        // 0.2 (2 + 0.4^2) + 0.3 (4 + 2.4^2) + 0.5 (0 + 1.6^2)
        {"A(0.2) + B(0.3) + D(0.5)", A(0.2) + B(0.3) + D(0.5), 0.6, 4.64},
        // The deviation of an infinite mean from itself is indefinite.
        {"P(0.5) + U(0.5)", P(0.5) + U(0.5), PlusInfinity, Indefinite},
        {"U(0.5) + (-P)(0.5)", U(0.5) + (-P)(0.5), MinusInfinity, Indefinite},
        {"C(0.5) + U(0.5)", C(0.5) + U(0.5), Indefinite, Indefinite},
        {"U(0.5) + M(0.5)", U(0.5) + M(0.5), Missing, Missing},
        {"(U U)(0.5) + U(3)(0.5)", (U * U)(0.5) + U(3)(0.5), 0.875,
         0.5 * (7.0 / 144 + 0.625 * 0.625) + 0.5 * (0.25 + 0.625 * 0.625)},
    };
    for (const Case& c : cases) {
        MixedRandom mixture(c.selection);
        EXPECT_STREQ(mixture.Name(), "MixedRandom");
        ExpectSame(mixture.Mean(), c.mean, c.mixture);
        ExpectSame(mixture.Variance(), c.variance, c.mixture);
    }
}

TEST(MixedRandomTest, ComponentsAreChosenWithTheirProbabilities) {
    MT mt(0.61);
    Random::Set(mt);
    Fake Ten(10.0, 0.0, 10.0), Twenty(20.0, 0.0, 20.0), Thirty(30.0, 0.0, 30.0);
    MixedRandom mixture(Ten(0.2) + Twenty(0.3) + Thirty(0.5));
    std::vector<double> sample(20000);
    for (double& x : sample) {
        x = mixture.Next();
        ASSERT_TRUE(x == 10.0 || x == 20.0 || x == 30.0) << x;
    }
    EXPECT_LT(ChiSquare(sample, {{10.0, 20.0}, {0.2, 0.5}}), ChiSquareLimit(2));
}

// Probabilities 1 on one place show which variable is which component.
TEST(MixedRandomTest, SelectionsAreLoadedLeftToRight) {
    MT mt(0.62);
    Random::Set(mt);
    Fake X(0.0, 0.0, 1.0), Y(0.0, 0.0, 2.0), Z(0.0, 0.0, 3.0);
    AddedSelectedRandom& three = X(0.2) + Y(0.3) + Z(0.5);
    EXPECT_EQ(three.nelems(), 3);
    EXPECT_STREQ(three.Name(), "Random");
    three.tDelete();
    const double one_at[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int k = 0; k < 3; ++k) {
        MixedRandom by_selection(X(one_at[k][0]) + Y(one_at[k][1]) + Z(one_at[k][2]));
        double probs[3] = {one_at[k][0], one_at[k][1], one_at[k][2]};
        Random* rvs[3] = {&X, &Y, &Z};
        MixedRandom by_array(3, probs, rvs);
        for (int d = 0; d < 20; ++d) {
            EXPECT_EQ(by_selection.Next(), k + 1.0);
            EXPECT_EQ(by_array.Next(), k + 1.0);
        }
    }
}

// The chooser takes two uniforms (cell, then alias test), then the component draws.
TEST(MixedRandomTest, ChooserDrawsComeBeforeTheComponentDraw) {
    ScriptedGenerator script({0.7, 0.1, 0.42});
    Random::Set(script);
    Fake X(0.0, 0.0, -1.0);
    Uniform U;
    MixedRandom mixture(X(0.5) + U(0.5));
    EXPECT_EQ(mixture.Next(), 0.42);
    EXPECT_EQ(script.Draws(), 3u);
}

TEST(MixedRandomTest, ASelectionIsNotAVariable) {
    Fake X(0.0, 1.0);
    SelectedRandom& one = X(0.5);
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([&] { one.Next(); }, "Ranvar: Next not defined"));
    AddedSelectedRandom& two = one + X(0.5);
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([&] { two.Next(); }, "Ranvar: Next not defined"));
    two.tDelete();
}

// The expressions inside the selections belong to the mixture once it is
// constructed, even when the construction fails.
TEST(MixedRandomTest, AFailedMixtureFreesWhatItWasGiven) {
    Fake X(0.0, 1.0), Y(0.0, 1.0), Z(0.0, 1.0);
    EXPECT_TRUE(Raises<RBD_COMMON::Runtime_error>([&] { MixedRandom mixture(X(0.5) + (Y + Z)(0.6)); }, add_up));
    double probs[2] = {0.5, 0.6};
    Random* rvs[2] = {&X, &(Y * Z)};
    EXPECT_TRUE(Raises<RBD_COMMON::Runtime_error>([&] { MixedRandom mixture(2, probs, rvs); }, add_up));
    Random* plain[1] = {&X};
    EXPECT_TRUE(
        Raises<RBD_COMMON::Logic_error>([&] { MixedRandom mixture(0, probs, plain); }, "Ranvar: illegal parameters"));
    EXPECT_TRUE(
        Raises<RBD_COMMON::Logic_error>([&] { MixedRandom mixture(-2, probs, plain); }, "Ranvar: illegal parameters"));
    EXPECT_EQ(X.Variance().Value(), 1.0);
}

TEST(MixedRandomTest, AMixtureFreesItsExpressionsAndLeavesItsPlainVariables) {
    MT mt(0.63);
    Random::Set(mt);
    Fake X(1.0, 0.0, 1.0), Y(10.0, 0.0, 10.0);
    {
        MixedRandom mixture((X + 1)(0.25) + (Y * 2)(0.25) + X(3)(0.25) + Y(0.25));
        std::vector<double> sample(400);
        for (double& x : sample) x = mixture.Next();
        for (double value : {2.0, 20.0, 3.0, 10.0}) {
            EXPECT_NE(std::count(sample.begin(), sample.end(), value), 0) << value;
        }
    }
    EXPECT_EQ(X.Next(), 1.0);
    EXPECT_EQ(Y.Next(), 10.0);
}

TEST(RepeatedRandomTest, SumsNIndependentDraws) {
    Fake X(0.5, 0.08333333333333333, 1.0, 1.0);  // draws 1, 2, 3, ...
    SumRandom three(X(3));
    EXPECT_EQ(three.Next(), 1.0 + 2.0 + 3.0);
    ExpectSame(three.Mean(), 1.5, "X(3) mean");
    ExpectSame(three.Variance(), 0.25, "X(3) variance");
    RepeatedRandom& none = X(0);
    EXPECT_STREQ(none.Name(), "Random");
    EXPECT_EQ(none.Next(), 0.0);
    ExpectSame(none.Mean(), 0.0, "X(0) mean");
    ExpectSame(none.Variance(), 0.0, "X(0) variance");
    EXPECT_EQ(X.Next(), 4.0);  // X(0) drew nothing
    none.tDelete();
    Fake P(PlusInfinity, PlusInfinity);
    SumRandom infinite(P(2)), empty(P(0));
    ExpectSame(infinite.Mean(), PlusInfinity, "P(2) mean");
    ExpectSame(empty.Mean(), Indefinite, "P(0) mean");
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([&] { X(-1); }, "Ranvar: illegal parameters"));
}

TEST(RepeatedRandomTest, SumOfThreeUniformsHasTheirMoments) {
    MT mt(0.64);
    Random::Set(mt);
    Uniform U;
    SumRandom three(U(3));
    std::vector<double> sample(20000);
    for (double& x : sample) x = three.Next();
    Moments m = SampleMoments(sample);
    EXPECT_NEAR(m.mean, 1.5, 4 * m.mean_se);
    EXPECT_NEAR(m.variance, 0.25, 4 * m.variance_se);
}

TEST(SumRandomTest, ForwardsToItsExpressionAndFreesOnlyTheNodes) {
    Fake X(1.0, 2.0, 3.0), Y(4.0, 5.0, 6.0);
    {
        SumRandom sum((X + Y) * 2);
        EXPECT_STREQ(sum.Name(), "SumRandom");
        EXPECT_EQ(sum.Next(), 18.0);
        ExpectSame(sum.Mean(), 10.0, "mean");
        ExpectSame(sum.Variance(), 28.0, "variance");
        SumRandom plain(X);
        EXPECT_EQ(plain.Next(), 3.0);
    }
    EXPECT_EQ(X.Next(), 3.0);
    EXPECT_EQ(Y.Next(), 6.0);
}

}  // namespace
