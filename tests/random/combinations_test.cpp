// Arithmetic combinations of variables: what each operator draws, the order of
// the operands' draws, the mean and variance rules over every kind of extended
// real, and the freeing of expression nodes through tDelete().
#include "random/combinations.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "random/mixtures.h"
#include "support/ext_real_check.h"
#include "support/fake_variable.h"

namespace {

using Build = std::function<Random&(Random&, Random&)>;

struct DrawCase {
    const char* expression;
    Build build;
    double draw;  // with X drawing 3 and Y drawing 4
    bool (*has_node_type)(Random&);
};

template <class Node>
bool Is(Random& r) {
    return dynamic_cast<Node*>(&r) != nullptr;
}

TEST(CombinationsTest, EachOperatorBuildsItsNodeAndCombinesTheDraws) {
    const std::vector<DrawCase> cases = {
        {"-X", [](Random& X, Random&) -> Random& { return -X; }, -3, Is<NegatedRandom>},
        {"X + 2", [](Random& X, Random&) -> Random& { return X + 2; }, 5, Is<ShiftedRandom>},
        {"2 + X", [](Random& X, Random&) -> Random& { return 2 + X; }, 5, Is<ShiftedRandom>},
        {"X - 2", [](Random& X, Random&) -> Random& { return X - 2; }, 1, Is<ShiftedRandom>},
        {"2 - X", [](Random& X, Random&) -> Random& { return 2 - X; }, -1, Is<ReverseShiftedRandom>},
        {"X * 2", [](Random& X, Random&) -> Random& { return X * 2; }, 6, Is<ScaledRandom>},
        {"2 * X", [](Random& X, Random&) -> Random& { return 2 * X; }, 6, Is<ScaledRandom>},
        {"X / 2", [](Random& X, Random&) -> Random& { return X / 2; }, 1.5, Is<ScaledRandom>},
        {"6 / X", [](Random& X, Random&) -> Random& { return 6 / X; }, 2, Is<ReciprocalRandom>},
        {"X + Y", [](Random& X, Random& Y) -> Random& { return X + Y; }, 7, Is<AddedRandom>},
        {"X - Y", [](Random& X, Random& Y) -> Random& { return X - Y; }, -1, Is<SubtractedRandom>},
        {"X * Y", [](Random& X, Random& Y) -> Random& { return X * Y; }, 12, Is<MultipliedRandom>},
        {"X / Y", [](Random& X, Random& Y) -> Random& { return X / Y; }, 0.75, Is<DividedRandom>},
        {"X * 2 + Y / 4", [](Random& X, Random& Y) -> Random& { return X * 2 + Y / 4; }, 7, Is<AddedRandom>},
    };
    Fake X(0.0, 0.0, 3.0), Y(0.0, 0.0, 4.0);
    for (const DrawCase& c : cases) {
        Random& node = c.build(X, Y);
        EXPECT_TRUE(c.has_node_type(node)) << c.expression;
        EXPECT_STREQ(node.Name(), "Random") << c.expression;
        EXPECT_DOUBLE_EQ(node.Next(), c.draw) << c.expression;
        node.tDelete();
    }
    // X - 3 stores the shift -3 and X / 2 the factor 0.5: visible in their means.
    Fake Z(10.0, 1.0);
    SumRandom shifted(Z - 3), scaled(Z / 2);
    EXPECT_DOUBLE_EQ(shifted.Mean().Value(), 7.0);
    EXPECT_DOUBLE_EQ(scaled.Variance().Value(), 0.25);
}

TEST(CombinationsTest, LeftOperandIsDrawnFirstAndARepeatedVariableIsDrawnAgain) {
    Fake X(0.0, 0.0, 1.0, 1.0);  // draws 1, 2, 3, ...
    SumRandom difference(X - X);
    EXPECT_EQ(difference.Next(), 1.0 - 2.0);
    SumRandom quotient(X / X);
    EXPECT_EQ(quotient.Next(), 3.0 / 4.0);
    SumRandom nested(X * 2 + 10 - X);
    EXPECT_EQ(nested.Next(), (5.0 * 2 + 10) - 6.0);
}

struct MomentCase {
    const char* expression;
    Build build;
    ExtReal mean;
    ExtReal variance;
};

// U: uniform moments 0.5 and 1/12; W: mean 0, variance 1.
TEST(CombinationsTest, MeansAndVariancesOfFiniteOperands) {
    const std::vector<MomentCase> cases = {
        {"2U + 1", [](Random& U, Random&) -> Random& { return 2 * U + 1; }, 2.0, 1.0 / 3},
        {"1 - U", [](Random& U, Random&) -> Random& { return 1 - U; }, 0.5, 1.0 / 12},
        {"-U", [](Random& U, Random&) -> Random& { return -U; }, -0.5, 1.0 / 12},
        {"U U", [](Random& U, Random&) -> Random& { return U * U; }, 0.25, 7.0 / 144},
        {"U - U", [](Random& U, Random&) -> Random& { return U - U; }, 0.0, 1.0 / 6},
        {"U + W", [](Random& U, Random& W) -> Random& { return U + W; }, 0.5, 1.0 + 1.0 / 12},
        {"U / 2", [](Random& U, Random&) -> Random& { return U / 2; }, 0.25, 1.0 / 48},
        {"U - 3", [](Random& U, Random&) -> Random& { return U - 3; }, -2.5, 1.0 / 12},
        {"W U", [](Random& U, Random& W) -> Random& { return W * U; }, 0.0, (1.0 / 12 + 0.25) + 0.0},
        {"1 / U", [](Random& U, Random&) -> Random& { return 1 / U; }, Missing, Missing},
        {"U / W", [](Random& U, Random& W) -> Random& { return U / W; }, Missing, Missing},
        {"1 / U + 1", [](Random& U, Random&) -> Random& { return 1 / U + 1; }, Missing, Missing},
        {"(U / W) 0", [](Random& U, Random& W) -> Random& { return U / W * 0; }, Missing, Missing},
    };
    Fake U(0.5, 0.08333333333333333), W(0.0, 1.0);
    for (const MomentCase& c : cases) {
        SumRandom owner(c.build(U, W));
        ExpectSame(owner.Mean(), c.mean, c.expression);
        ExpectSame(owner.Variance(), c.variance, c.expression);
    }
}

// P: infinite mean and variance; C: indefinite mean, infinite variance (as a
// Cauchy variable); M: unknown moments; U: uniform; W: mean 0, variance 1.
TEST(CombinationsTest, MeansAndVariancesWithInfiniteIndefiniteAndMissingOperands) {
    Fake P(PlusInfinity, PlusInfinity), C(Indefinite, PlusInfinity), M(Missing, Missing);
    Fake U(0.5, 0.08333333333333333), W(0.0, 1.0);
    struct Case {
        const char* expression;
        Random& root;
        ExtReal mean;
        ExtReal variance;
    };
    const std::vector<Case> cases = {
        {"C + 1", C + 1, Indefinite, PlusInfinity},
        {"-P", -P, MinusInfinity, PlusInfinity},
        {"P (-2)", P * -2, MinusInfinity, PlusInfinity},
        {"0 P", 0 * P, Indefinite, Indefinite},
        {"P - P", P - P, Indefinite, PlusInfinity},
        {"3 - P", 3 - P, MinusInfinity, PlusInfinity},
        {"P + U", P + U, PlusInfinity, PlusInfinity},
        {"P + (-P)", P + -P, Indefinite, PlusInfinity},
        {"P U", P * U, PlusInfinity, PlusInfinity},
        {"(-P)(-P)", -P * -P, PlusInfinity, PlusInfinity},
        {"(-P) P", -P * P, MinusInfinity, PlusInfinity},
        // 0 x 0 x infinity in the last term of the variance is indefinite.
        {"W P", W * P, Indefinite, Indefinite},
        {"U C", U * C, Indefinite, Indefinite},
        {"P / 2", P / 2, PlusInfinity, PlusInfinity},
        {"M + 1", M + 1, Missing, Missing},
        {"C + M", C + M, Missing, Missing},
        {"P M", P * M, Missing, Missing},
        {"1 / P - P", 1 / P - P, Missing, Missing},
    };
    for (const Case& c : cases) {
        SumRandom owner(c.root);
        ExpectSame(owner.Mean(), c.mean, c.expression);
        ExpectSame(owner.Variance(), c.variance, c.expression);
    }
}

// Under the sanitizers a node left allocated is a leak and a freed leaf a
// use after free.
TEST(CombinationsTest, TDeleteFreesTheNodesAndLeavesThePlainVariables) {
    Fake X(1.0, 1.0, 2.0), Y(1.0, 1.0, 5.0);
    Random& root = (X + Y) * 2;
    EXPECT_EQ(root.Next(), 14.0);
    root.tDelete();
    EXPECT_EQ(X.Next(), 2.0);
    EXPECT_EQ(Y.Next(), 5.0);
    // A plain variable ignores tDelete.
    X.tDelete();
    EXPECT_EQ(X.Next(), 2.0);
    Random& deep = -(1 / (X - 1) + Y * X / 3);
    deep.tDelete();
    EXPECT_EQ(Y.Mean().Value(), 1.0);
}

}  // namespace
