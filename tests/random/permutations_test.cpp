// Random permutations and combinations: uniformity over all outcomes, the exact
// use of each uniform draw, the argument checks and the Shell sort.
#include "random/permutations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "random/mt.h"
#include "support/chi_square_limit.h"
#include "support/ranvar_error_check.h"
#include "support/scripted_generator.h"

namespace {

// Pearson's statistic of the counts of all outcomes against equal expectation.
double UniformChiSquare(const std::map<std::vector<int>, int>& counts, int outcomes, int draws) {
    const double expected = static_cast<double>(draws) / outcomes;
    double statistic = (outcomes - static_cast<double>(counts.size())) * expected;  // unseen
    for (const auto& entry : counts) {
        statistic += (entry.second - expected) * (entry.second - expected) / expected;
    }
    return statistic;
}

TEST(RandomPermutationTest, EveryOrderOfFourIsEquallyLikely) {
    MT mt(0.31);
    Random::Set(mt);
    RandomPermutation permutation;
    const int draws = 24000;
    std::map<std::vector<int>, int> counts;
    for (int d = 0; d < draws; ++d) {
        std::vector<int> out(4);
        permutation.Next(4, 4, out.data(), 0);
        std::vector<int> sorted = out;
        std::sort(sorted.begin(), sorted.end());
        ASSERT_EQ(sorted, (std::vector<int>{0, 1, 2, 3}));
        ++counts[out];
    }
    EXPECT_EQ(counts.size(), 24u);
    EXPECT_LT(UniformChiSquare(counts, 24, draws), ChiSquareLimit(23));
}

TEST(RandomPermutationTest, EveryOrderedPairOfFiveIsEquallyLikely) {
    MT mt(0.47);
    Random::Set(mt);
    RandomPermutation permutation;
    const int draws = 20000;
    std::map<std::vector<int>, int> counts;
    for (int d = 0; d < draws; ++d) {
        std::vector<int> out(2);
        permutation.Next(5, 2, out.data(), 10);
        ASSERT_NE(out[0], out[1]);
        for (int v : out) {
            ASSERT_GE(v, 10);
            ASSERT_LE(v, 14);
        }
        ++counts[out];
    }
    EXPECT_EQ(counts.size(), 20u);
    EXPECT_LT(UniformChiSquare(counts, 20, draws), ChiSquareLimit(19));
}

TEST(RandomCombinationTest, EverySubsetOfThreeOutOfFiveIsEquallyLikelyAndSorted) {
    MT mt(0.53);
    Random::Set(mt);
    RandomCombination combination;
    const int draws = 20000;
    std::map<std::vector<int>, int> counts;
    for (int d = 0; d < draws; ++d) {
        std::vector<int> out(3);
        combination.Next(5, 3, out.data(), 1);
        ASSERT_TRUE(std::is_sorted(out.begin(), out.end()));
        ASSERT_TRUE(std::adjacent_find(out.begin(), out.end()) == out.end());
        ++counts[out];
    }
    EXPECT_EQ(counts.size(), 10u);
    EXPECT_LT(UniformChiSquare(counts, 10, draws), ChiSquareLimit(9));
}

// j = i + floor((N - i) u): 0.9 picks w[3], 0.1 w[1], 0.5 w[3] (holding 0 by
// then), 0.3 the last remaining value.
TEST(RandomPermutationTest, EachDrawPicksAmongTheValuesNotYetChosen) {
    ScriptedGenerator script({0.9, 0.1, 0.5, 0.3});
    Random::Set(script);
    std::vector<int> out(4);
    RandomPermutation().Next(4, 4, out.data(), 0);
    EXPECT_EQ(out, (std::vector<int>{3, 1, 0, 2}));
    EXPECT_EQ(script.Draws(), 4u);
}

TEST(RandomPermutationTest, NothingIsDrawnForAnEmptySelection) {
    // The placeholder is installed: any draw would raise.
    ASSERT_EQ(Random::RNG, Random::Dummy);
    int untouched = 7;
    RandomPermutation().Next(5, 0, &untouched, 0);
    RandomPermutation().Next(0, 0, &untouched, 0);
    RandomPermutation().Next(3, -1, &untouched, 0);
    RandomCombination().Next(3, -1, &untouched, 0);
    RandomPermutation().Next(-2, -5, &untouched, 0);
    EXPECT_EQ(untouched, 7);
}

TEST(RandomPermutationTest, BadSizesAreRefusedBeforeAnyDraw) {
    ASSERT_EQ(Random::RNG, Random::Dummy);
    std::vector<int> out(8);
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([&] { RandomPermutation().Next(3, 4, out.data(), 0); },
                                                "Ranvar: N < M in RandomPermutation"));
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([&] { RandomPermutation().Next(-1, 0, out.data(), 0); },
                                                "Ranvar: N < M in RandomPermutation"));
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([&] { RandomPermutation().Next(3, 1, out.data(), 2147483646); },
                                                "Ranvar: values out of range in RandomPermutation"));
}

// A generator that breaks the (0, 1) contract must not make the draw index
// outside the candidates.
TEST(RandomPermutationTest, ADrawOfOneIsRefusedInsteadOfReadingPastTheValues) {
    ScriptedGenerator script({1.0});
    Random::Set(script);
    std::vector<int> out(3);
    EXPECT_TRUE(Raises<RBD_COMMON::Runtime_error>([&] { RandomPermutation().Next(3, 3, out.data(), 0); },
                                                  "Cannot convert to integer "));
}

TEST(ShellSortTest, SortsAscendingKeepingDuplicates) {
    std::vector<int> a{5, 1, 4, 1, 3};
    ShellSortAscending(a.data(), static_cast<int>(a.size()));
    EXPECT_EQ(a, (std::vector<int>{1, 1, 3, 4, 5}));
    std::vector<int> b{2, 9, -4, 0};
    RandomCombination::SortAscending(static_cast<int>(b.size()), b.data());
    EXPECT_EQ(b, (std::vector<int>{-4, 0, 2, 9}));
}

// Sizes on both sides of each change of the gap sequence (n / 9 reaching 1, 4, 13, 40).
TEST(ShellSortTest, AgreesWithTheStandardSortAcrossGapSequences) {
    MT mt(0.77);
    for (int n : {0, 1, 2, 8, 9, 10, 35, 36, 37, 116, 117, 118, 359, 360, 361, 1000}) {
        std::vector<int> a(n);
        for (int& v : a) v = static_cast<int>(mt.ulNext() % 50) - 25;
        std::vector<int> expected = a;
        std::sort(expected.begin(), expected.end());
        ShellSortAscending(a.data(), n);
        EXPECT_EQ(a, expected) << "n = " << n;
    }
}

}  // namespace
