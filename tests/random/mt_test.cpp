// MT19937: reference outputs, seeding from a double, the shared process-wide stream.
#include "random/mt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace {

// Outputs of std::mt19937 seeded with the integer, the reference for our stream.
void ExpectStreamOfSeed(MT& generator, std::uint32_t seed, int draws) {
    std::mt19937 reference(seed);
    for (int i = 0; i < draws; ++i) {
        ASSERT_EQ(generator.ulNext(), reference()) << "draw " << i << " of seed " << seed;
    }
}

TEST(MtTest, DefaultSeedGivesTheReferenceOutputs) {
    MT::init_genrand(5489);
    // mt19937ar's published outputs for 5489; the 10000th is the C++ standard's check value.
    EXPECT_EQ(MT::genrand_int32(), 3499211612ul);
    EXPECT_EQ(MT::genrand_int32(), 581869302ul);
    EXPECT_EQ(MT::genrand_int32(), 3890346734ul);
    unsigned long y = 0;
    for (int i = 4; i <= 10000; ++i) y = MT::genrand_int32();
    EXPECT_EQ(y, 4123659995ul);
}

TEST(MtTest, SeedingFromADoubleUsesTheLow32BitsOfItsScaledIntegerPart) {
    // Expected words from python3 with exact rationals:
    // int(Fraction(s) * 2**32) % 2**32, and 0 for NaN or s * 2^32 outside (-2^63, 2^64).
    const struct {
        double seed;
        std::uint32_t word;
    } cases[] = {
        {0.12345, 530213712u},
        {0.5, 2147483648u},
        {0.999, 4290672328u},
        {0.0, 0u},
        {1.0, 0u},
        {-0.5, 0x80000000u},
        {-0.12345, 3764753584u},
        {3.75, 3221225472u},
        {2147483648.25, 1073741824u},  // 2^63 <= s * 2^32 < 2^64
        {4294967295.75, 3221225472u},  // just below 2^64
        {-1000000000.5, 2147483648u},  // negative, within the signed range
        {-2147483648.0, 0u},           // exactly -2^63
        {-2147483648.5, 0u},           // below -2^63
        {4294967296.0, 0u},            // exactly 2^64
        {1e30, 0u},
        {-1e30, 0u},
        {std::numeric_limits<double>::infinity(), 0u},
        {-std::numeric_limits<double>::infinity(), 0u},
        {std::numeric_limits<double>::quiet_NaN(), 0u},
    };
    for (const auto& c : cases) {
        MT generator(c.seed);
        ExpectStreamOfSeed(generator, c.word, 1500);
    }
}

TEST(MtTest, SimulatorSeedGivesItsKnownFirstDraws) {
    MT generator(0.12345);
    EXPECT_EQ(generator.ulNext(), 3710025885ul);
    MT again(0.12345);
    // python3: (3710025885 + 0.5) * 2**-32
    EXPECT_EQ(again.Next(), 0.8638077148934826);
}

TEST(MtTest, NextIsTheOutputMappedIntoTheOpenUnitInterval) {
    MT generator(0.75);
    std::mt19937 reference(3221225472u);
    for (int i = 0; i < 2000; ++i) {
        const double u = generator.Next();
        const double y = reference();
        ASSERT_EQ(u, (y + 0.5) / 4294967296.0);
        ASSERT_GT(u, 0.0);
        ASSERT_LT(u, 1.0);
    }
}

TEST(MtTest, AllObjectsShareOneStreamAndASecondObjectRestartsIt) {
    MT first(0.25);
    const unsigned long a0 = first.ulNext();
    MT second(0.25);
    EXPECT_EQ(second.ulNext(), a0);
    const unsigned long a1 = first.ulNext();
    std::mt19937 reference(1073741824u);
    EXPECT_EQ(reference(), a0);
    EXPECT_EQ(reference(), a1);
    { MT third(0.5); }
    // The third object reseeded the stream; its destruction did not reset it.
    std::mt19937 after(2147483648u);
    EXPECT_EQ(first.ulNext(), after());
    EXPECT_EQ(second.ulNext(), after());
}

TEST(MtTest, OutputsTakenInBulkContinueTheStream) {
    // Bulk takes stop at the end of a block and mix freely with single draws.
    MT generator(0.75);
    std::mt19937 reference(3221225472u);
    const int wanted[] = {1, 5, 700, 3, 624, 624, 200, 1, 1000, 17};
    for (int round = 0; round < 40; ++round) {
        for (const int n : wanted) {
            int taken = 0;
            const std::uint32_t* outputs = MT::take_outputs(n, taken);
            ASSERT_GE(taken, 1);
            ASSERT_LE(taken, std::min(n, MT::N));
            for (int i = 0; i < taken; ++i) ASSERT_EQ(outputs[i], reference()) << "round " << round << " take " << n;
            ASSERT_EQ(generator.Next(), MT::uniform_of(static_cast<std::uint32_t>(reference())));
        }
    }
}

TEST(MtTest, NameAndUniformMoments) {
    MT generator(0.5);
    EXPECT_STREQ(generator.Name(), "MT19937");
    EXPECT_EQ(generator.Mean().Kind(), Finite);
    EXPECT_EQ(generator.Mean().Value(), 0.5);
    EXPECT_EQ(generator.Variance().Kind(), Finite);
    EXPECT_EQ(generator.Variance().Value(), 1.0 / 12.0);
    EXPECT_EQ(generator.nelems(), 1);
}

}  // namespace
