// The random-variable interface: defaults, the installed generator and the placeholder.
#include "random/random.h"

#include <gtest/gtest.h>

#include <sstream>

#include "random/mt.h"
#include "support/ranvar_error_check.h"

namespace {

// A derived variable that overrides nothing.
class Plain : public Random {};

TEST(RandomTest, PlaceholderIsInstalledWhenNothingElseIs) {
    ASSERT_EQ(Random::RNG, Random::Dummy);
    EXPECT_STREQ(Random::RNG->Name(), "DummyRNG");
    EXPECT_EQ(Random::Dir.Length(), 0u);
    const char* not_setup = "Ranvar: uniform rng not setup";
    EXPECT_TRUE(Raises<RBD_COMMON::Runtime_error>([] { Random::RNG->Next(); }, not_setup));
    EXPECT_TRUE(Raises<RBD_COMMON::Runtime_error>([] { Random::RNG->CSTD(); }, not_setup));
    EXPECT_TRUE(Raises<RBD_COMMON::Runtime_error>([] { Random::RNG->CSFD(true); }, not_setup));
    EXPECT_TRUE(
        Raises<RBD_COMMON::Logic_error>([] { Random::RNG->ulNext(); }, "Ranvar: ulNext function not available"));
    // A derived variable draws through the installed generator.
    Plain plain;
    EXPECT_TRUE(Raises<RBD_COMMON::Runtime_error>([&] { plain.Next(); }, not_setup));
}

TEST(RandomTest, DefaultsOfAVariableThatOverridesNothing) {
    Plain plain;
    EXPECT_STREQ(plain.Name(), "Random");
    EXPECT_EQ(plain.nelems(), 1);
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([&] { plain.ulNext(); }, "Ranvar: ulNext function not available"));
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([&] { plain.Density(0.5); }, "Ranvar: density function not available"));
    EXPECT_TRUE(
        Raises<RBD_COMMON::Logic_error>([&] { plain.load(nullptr, nullptr, nullptr); }, "Ranvar: illegal combination"));
    plain.CSFD(true);
    plain.CSTD();
    plain.tDelete();
    std::ostringstream moments;
    moments << plain.Mean() << ' ' << plain.Variance();
    EXPECT_EQ(moments.str(), "0.5 0.0833333");
}

TEST(RandomTest, InstalledGeneratorServesEveryDrawUntilItIsDestroyed) {
    {
        MT generator(0.12345);
        Random::Set(generator);
        EXPECT_STREQ(Random::RNG->Name(), "MT19937");
        EXPECT_EQ(Random::RNG->ulNext(), 3710025885ul);
        MT::init_genrand(530213712);
        Plain plain;
        EXPECT_EQ(plain.Next(), 0.8638077148934826);
    }
    EXPECT_EQ(Random::RNG, Random::Dummy);
    EXPECT_STREQ(Random::RNG->Name(), "DummyRNG");
}

TEST(RandomTest, DestroyingAGeneratorThatIsNotInstalledLeavesTheInstalledOne) {
    MT b(0.5);
    {
        MT a(0.25);
        Random::Set(a);
        Random::Set(b);
    }
    EXPECT_EQ(Random::RNG, &b);
    Random::Set(*Random::Dummy);
}

TEST(RandomTest, GeneratorIsUninstalledWhenAnExceptionLeavesItsScope) {
    EXPECT_ANY_THROW({
        MT generator(0.5);
        Random::Set(generator);
        Random::RNG->Next();
        Plain plain;
        plain.Density(1.0);
    });
    EXPECT_EQ(Random::RNG, Random::Dummy);
}

TEST(RandomTest, AnyInstalledVariableIsUninstalledWhenDestroyed) {
    MT generator(0.5);
    {
        Plain plain;
        Random::Set(plain);
    }
    EXPECT_EQ(Random::RNG, Random::Dummy);
}

}  // namespace
