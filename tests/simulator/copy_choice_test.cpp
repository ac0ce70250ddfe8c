// The fast copy choice and switch test against the written computations,
// on ordinary draws and on draws placed at the boundaries where rounding
// decides.
#include "simulator/copy_choice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

using namespace vorlan2;

namespace {

bool switches_by_exp(double u, double gap, double K) { return u > std::exp(-gap / K); }

// Draws as the generator makes them, (y + 0.5) 2^-32, and the ones nearest
// to each boundary k / K, where the scan's rounding can go either way.
std::vector<double> draws_near_boundaries(int K, std::mt19937& words) {
    std::vector<double> draws;
    for (int i = 0; i < 2000; ++i) draws.push_back((words() + 0.5) * 0x1p-32);
    for (int k = 1; k < K && k < 3000; k += 1 + K / 3000) {
        const double boundary = static_cast<double>(k) / K;
        const double y = std::floor(boundary * 0x1p32 - 0.5);
        for (double d = -2; d <= 2; ++d) draws.push_back((y + d + 0.5) * 0x1p-32);
        draws.push_back(std::nextafter(boundary, 0.0));
        draws.push_back(boundary);
        draws.push_back(std::nextafter(boundary, 1.0));
    }
    return draws;
}

TEST(CopyChoiceTest, FastIndexEqualsTheSubtractionScan) {
    std::mt19937 words(7);
    for (const int K : {1, 2, 3, 7, 10, 100, 599, 1000, 4096, 10007, 65536, 100000}) {
        for (const double u : draws_near_boundaries(K, words)) {
            if (!(u > 0.0 && u < 1.0)) continue;
            ASSERT_EQ(uniform_candidate(u, K), uniform_candidate_by_subtraction(u, K)) << "K " << K << " u " << u;
        }
    }
}

TEST(CopyChoiceTest, SubtractionScanHandlesItsEnds) {
    EXPECT_EQ(uniform_candidate_by_subtraction(1e-12, 10), 0);
    EXPECT_EQ(uniform_candidate_by_subtraction(0.9999999998835847, 10), 9);
    EXPECT_EQ(uniform_candidate(0.9999999998835847, 100000), 99999);
    EXPECT_EQ(uniform_candidate(1.1641532182693481e-10, 100000), 0);
}

TEST(CopyChoiceTest, SwitchTestEqualsTheExponential) {
    std::mt19937 words(11);
    const double gaps[] = {0.0, 1e-300, 1e-9, 1e-4, 0.01, 0.3, 1.0, 5.0, 40.0, 1000.0, -0.5};
    for (const double K : {1.0, 2.0, 600.0, 20000.0, 85000.0}) {
        for (const double gap : gaps) {
            const double e = std::exp(-gap / K);
            std::vector<double> draws = {std::nextafter(e, 0.0), e,
                                         std::nextafter(e, 1.0), std::nextafter(1.0 - gap / K, 0.0),
                                         1.0 - gap / K,          std::nextafter(1.0 - gap / K, 1.0)};
            for (int i = 0; i < 5000; ++i) draws.push_back((words() + 0.5) * 0x1p-32);
            for (const double u : draws) {
                if (!(u > 0.0 && u < 1.0)) continue;
                ASSERT_EQ(switches_between(u, gap, K), switches_by_exp(u, gap, K))
                    << "u " << u << " gap " << gap << " K " << K;
            }
        }
    }
}

// The draw the generator makes from output y, written out independently.
double draw_of(std::uint64_t y) { return (static_cast<double>(y) + 0.5) / 4294967296.0; }

TEST(CopyChoiceTest, OutputsBelowCountsExactlyTheOutputsWhoseDrawIsBelow) {
    // Every output below the count gives a draw below p, and the output at
    // the count does not (where there is one).
    std::vector<double> probabilities = {-1.0,
                                         0.0,
                                         5e-324,
                                         1e-300,
                                         1e-10,
                                         1.1641532182693481e-10,
                                         0.5,
                                         0.9999999998835847,
                                         1.0 - 0x1p-50,
                                         1.0,
                                         2.0,
                                         std::numeric_limits<double>::infinity(),
                                         std::numeric_limits<double>::quiet_NaN()};
    std::mt19937 words(13);
    for (int i = 0; i < 3000; ++i) {
        const double at = draw_of(words());
        probabilities.insert(probabilities.end(), {at, std::nextafter(at, 0.0), std::nextafter(at, 1.0)});
        probabilities.push_back(0.5 * words() / 4294967296.0);
    }
    for (const double p : probabilities) {
        const std::uint64_t count = outputs_below(p);
        ASSERT_LE(count, std::uint64_t{1} << 32) << p;
        if (count > 0) {
            ASSERT_LT(draw_of(count - 1), p) << p;
        }
        if (count < (std::uint64_t{1} << 32)) {
            ASSERT_FALSE(draw_of(count) < p) << p;
        }
    }
    EXPECT_EQ(outputs_below(0.5), std::uint64_t{1} << 31);
    EXPECT_EQ(outputs_below(std::numeric_limits<double>::quiet_NaN()), 0u);
}

TEST(CopyChoiceTest, OutputsBelowASwitchFloorPlaceNoSwitchForAnyLargerCount) {
    // Below the floor made for K the written test places no switch, for K and
    // for every larger candidate count; the floor lets through all but about
    // gap / K of the outputs.
    std::mt19937 words(17);
    const double gaps[] = {0.0, 1e-300, 1e-9, 1e-4, 0.01, 0.3, 1.0, 5.0, 40.0, 1000.0};
    for (const double K : {1.0, 2.0, 600.0, 20000.0, 85000.0}) {
        for (const double gap : gaps) {
            const std::uint32_t floor = switch_floor(gap, K);
            EXPECT_GE(floor / 4294967296.0, 1.0 - gap / K - 1e-9) << "gap " << gap << " K " << K;
            if (floor == 0) continue;
            std::vector<std::uint64_t> outputs = {floor - 1u, floor / 2u, 0u};
            for (int i = 0; i < 200; ++i) outputs.push_back(words() % floor);
            for (const double larger : {K, K + 1.0, K + 7.0, 2.0 * K, 1e6}) {
                for (const std::uint64_t y : outputs) {
                    ASSERT_FALSE(draw_of(y) > std::exp(-gap / larger))
                        << "y " << y << " gap " << gap << " K " << larger;
                    ASSERT_FALSE(switches_between(draw_of(y), gap, larger)) << "y " << y << " gap " << gap;
                }
            }
        }
    }
    // Gaps that are negative or not numbers are always tested.
    for (const double gap :
         {-0.5, -1e-300, std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::infinity()})
        EXPECT_EQ(switch_floor(gap, 600.0), 0u) << gap;
    EXPECT_EQ(switch_floor(std::numeric_limits<double>::infinity(), 600.0), 0u);
}

}  // namespace
