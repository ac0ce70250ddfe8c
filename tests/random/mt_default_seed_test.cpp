// MT19937 drawn before any seeding: it seeds itself with the default 5489. This program
// must construct no MT, since any construction reseeds the shared state.
#include "random/mt.h"

#include <gtest/gtest.h>

namespace {

TEST(MtDefaultSeedTest, FirstDrawOnANeverSeededStateUsesTheDefaultSeed) {
    // Reference MT19937 outputs for its default seed 5489 (mt19937ar; the 10000th is the
    // value the C++ standard requires of std::mt19937).
    EXPECT_EQ(MT::genrand_int32(), 3499211612ul);
    EXPECT_EQ(MT::genrand_int32(), 581869302ul);
    EXPECT_EQ(MT::genrand_int32(), 3890346734ul);
    unsigned long y = 0;
    for (int i = 4; i <= 10000; ++i) y = MT::genrand_int32();
    EXPECT_EQ(y, 4123659995ul);
}

}  // namespace
