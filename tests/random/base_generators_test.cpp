// The six other base generators against sequences computed independently of
// them (closed forms a^n x0 mod m in 128-bit integers, the single congruence
// equivalent to Wichmann-Hill), their seeds, names and seed files.
#include "random/base_generators.h"

#include <gtest/gtest.h>
#include <myexcept.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "random/random.h"
#include "support/ranvar_error_check.h"
#include "support/temp_dir.h"

namespace {

using RBD_COMMON::Logic_error;
using u128 = unsigned __int128;

const std::uint64_t kPrime31 = 2147483647;  // 2^31 - 1
const double kTwoToMinus31 = 4.656612873077393e-10;

// base^e mod m.
std::uint64_t PowMod(std::uint64_t base, std::uint64_t e, std::uint64_t m) {
    u128 result = 1 % m, b = base % m;
    for (; e > 0; e >>= 1) {
        if (e & 1) result = result * b % m;
        b = b * b % m;
    }
    return static_cast<std::uint64_t>(result);
}

std::uint64_t MulMod(std::uint64_t a, std::uint64_t b, std::uint64_t m) {
    return static_cast<std::uint64_t>(static_cast<u128>(a) * b % m);
}

using Factory = std::function<std::unique_ptr<Random>(double)>;

template <class T>
Factory Of() {
    return [](double s) { return std::unique_ptr<Random>(new T(s)); };
}

class BaseGeneratorsTest : public ::testing::Test {
protected:
    void TearDown() override {
        Random::Set(*Random::Dummy);
        Random::SetDirectory("");
    }
};

TEST_F(BaseGeneratorsTest, ParkMillerFromOneReachesThePublishedValue) {
    // Park and Miller (1988): from x = 1 the 10,000th value is 1043618065.
    LGM_simple generator(kTwoToMinus31);
    unsigned long last = 0;
    for (int i = 0; i < 10000; ++i) last = generator.ulNext();
    EXPECT_EQ(last, 2u * 1043618065u);
}

TEST_F(BaseGeneratorsTest, CongruentialGeneratorsFollowTheirClosedForm) {
    struct Case {
        const char* label;
        Factory make;
        double seed;
        std::uint64_t x0;
        std::uint64_t multiplier;
    };
    const std::vector<Case> cases = {
        {"LGM_base from 1", Of<LGM_base>(), kTwoToMinus31, 1, 16807},
        {"LGM_simple from 2^30", Of<LGM_simple>(), 0.5, 1073741824, 16807},
        {"LGM_simple from 0.3", Of<LGM_simple>(), 0.3, 644245094, 16807},
        {"FM from 2^30", Of<FM>(), 0.5, 1073741824, 950706376},
        {"FM from 0.3", Of<FM>(), 0.3, 644245094, 950706376},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::unique_ptr<Random> integers = c.make(c.seed), reals = c.make(c.seed);
        for (std::uint64_t n = 1; n <= 10000; ++n) {
            const std::uint64_t x = MulMod(PowMod(c.multiplier, n, kPrime31), c.x0, kPrime31);
            ASSERT_EQ(integers->ulNext(), 2 * x) << "step " << n;
            ASSERT_EQ(reals->Next(), static_cast<double>(x) * kTwoToMinus31) << "step " << n;
        }
    }
}

TEST_F(BaseGeneratorsTest, FirstStepsFromHalf) {
    LGM_simple lgm(0.5);
    EXPECT_EQ(lgm.ulNext(), 2147500454u);
    LGM_simple lgm_again(0.5);
    EXPECT_EQ(lgm_again.Next(), 0.5000039129517972);
    FM fm(0.5);
    EXPECT_EQ(fm.Next(), 0.2213535774499178);
}

TEST_F(BaseGeneratorsTest, ShuffledParkMillerReturnsTheSlotChosenByThe129thValue) {
    // The table holds x1 ... x128 of the Park-Miller sequence from x0 = 1; a draw
    // chooses its slot from one value and refills it with the next.
    auto x = [](std::uint64_t n) { return PowMod(16807, n, kPrime31); };
    LGM_mixed generator(kTwoToMinus31);
    const std::uint64_t j1 = x(129) >> 24;  // integer part of x * 2^-31 * 128
    EXPECT_EQ(generator.ulNext(), 2 * x(j1 + 1));
    const std::uint64_t j2 = x(131) >> 24;
    EXPECT_EQ(generator.ulNext(), 2 * (j2 == j1 ? x(130) : x(j2 + 1)));
    LGM_mixed reals(kTwoToMinus31);
    EXPECT_EQ(reals.Next(), static_cast<double>(x(j1 + 1)) * kTwoToMinus31);
}

TEST_F(BaseGeneratorsTest, WichmannHillIsItsSingleCongruence) {
    // By the Chinese remainder theorem the three generators are one
    // multiplicative generator modulo 30269 * 30307 * 30323 (Zeisel 1986), with
    // multiplier 16555425264690 (computed in python3: 171, 172 and 170 modulo
    // the three primes), and the output is its state over the modulus.
    const std::uint64_t p1 = 30269, p2 = 30307, p3 = 30323;
    const std::uint64_t m = p1 * p2 * p3, a = 16555425264690;
    // Below 1/30269 the first part starts, and stays, at 0.
    for (const double seed : {0.5, 0.001, 0.987654, 1.0 / 30269 * 0.99, 1e-300}) {
        SCOPED_TRACE(seed);
        const std::uint64_t x0 = static_cast<std::uint64_t>(seed * 30269.0);
        const std::uint64_t w0 = (x0 * p2 * p3 + 1234 * p1 * p3 + 5678 * p1 * p2) % m;
        WH generator(seed);
        for (std::uint64_t n = 1; n <= 10000; ++n) {
            const double expected = static_cast<double>(MulMod(PowMod(a, n, m), w0, m)) / m;
            const double d = std::fabs(generator.Next() - expected);
            ASSERT_LT(std::fmin(d, 1.0 - d), 1e-13) << "step " << n;
        }
    }
}

TEST_F(BaseGeneratorsTest, WichmannHillIntegersScaleTheUniform) {
    WH integers(0.25), reals(0.25);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(integers.ulNext(), static_cast<unsigned long>(reals.Next() * 4294967296.0));
    }
}

TEST_F(BaseGeneratorsTest, MultiplyWithCarryIsItsCongruence) {
    // With s = a x + carry, a step maps s to s * 2^-32 = s * a modulo a * 2^32 - 1
    // (Couture and L'Ecuyer), and x = s div a.
    const std::uint64_t a = 2083801278, m = a * 4294967296u - 1;
    for (const double seed : {0.5, 1e-12, 0.999}) {
        SCOPED_TRACE(seed);
        const std::uint64_t x0 = static_cast<std::uint64_t>(seed * 4294967296.0);
        const std::uint64_t s0 = a * x0 + 1234567;
        MultWithCarry integers(seed), reals(seed);
        for (std::uint64_t n = 1; n <= 10000; ++n) {
            const std::uint64_t x = MulMod(PowMod(a, n, m), s0, m) / a;
            ASSERT_EQ(integers.ulNext(), x) << "step " << n;
            ASSERT_EQ(reals.Next(), (static_cast<double>(x) + 0.5) * 2.3283064365386963e-10);
        }
    }
    // From x = 0 the first word is the carry itself.
    EXPECT_EQ(MultWithCarry(1e-12).ulNext(), 1234567u);
}

TEST_F(BaseGeneratorsTest, MotherOfAllWords) {
    // From a python3 transcription of the two digit recurrences (16-bit digits
    // read as signed, 32-bit wrap-around).
    struct Case {
        double seed;
        std::vector<unsigned long> first;
        unsigned long thousandth;
    };
    const std::vector<Case> cases = {
        {0.5, {2643710594, 1025510838, 2719159120, 970679920, 3260935126}, 4061400300},
        {0.123456789, {2527530924, 598114724, 3591892172, 2125806022, 527385666}, 2607650160},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seed);
        MotherOfAll integers(c.seed), reals(c.seed);
        for (std::size_t i = 0; i < c.first.size(); ++i) {
            EXPECT_EQ(integers.ulNext(), c.first[i]);
            EXPECT_EQ(reals.Next(), (static_cast<double>(c.first[i]) + 0.5) * 2.3283064365386963e-10);
        }
        for (std::size_t i = c.first.size() + 1; i < 1000; ++i) integers.ulNext();
        EXPECT_EQ(integers.ulNext(), c.thousandth);
    }
}

TEST_F(BaseGeneratorsTest, CarryGeneratorsStayInsideTheUnitInterval) {
    MultWithCarry mwc(0.77);
    MotherOfAll mother(0.77);
    for (int i = 0; i < 20000; ++i) {
        const double u = mwc.Next(), v = mother.Next();
        ASSERT_TRUE(u > 0.0 && u < 1.0);
        ASSERT_TRUE(v > 0.0 && v < 1.0);
    }
}

struct Generator {
    const char* name;
    Factory make;
};

const std::vector<Generator>& Generators() {
    static const std::vector<Generator> all = {
        {"LGM_base", Of<LGM_base>()},       {"LGM_simple", Of<LGM_simple>()}, {"LGM_mixed", Of<LGM_mixed>()},
        {"Wichmann Hill", Of<WH>()},        {"Fishman Moore", Of<FM>()},      {"MultWithCarry", Of<MultWithCarry>()},
        {"MotherOfAll", Of<MotherOfAll>()},
    };
    return all;
}

TEST_F(BaseGeneratorsTest, SeedsOutsideTheOpenUnitIntervalAreRefused) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Generator& g : Generators()) {
        SCOPED_TRACE(g.name);
        for (const double bad : {0.0, 1.0, -0.25, 1.5, nan}) {
            EXPECT_TRUE(Raises<Logic_error>([&] { g.make(bad); }, "Ranvar: seed out of range")) << bad;
        }
        EXPECT_STREQ(g.make(0.5)->Name(), g.name);
    }
}

TEST_F(BaseGeneratorsTest, SeedsThatTruncateToAStuckStateAreRefused) {
    const double just_below_one = std::nextafter(1.0, 0.0);  // x would be 2^31 - 1
    const std::vector<std::pair<Factory, double>> stuck = {
        {Of<LGM_base>(), 1e-10},    {Of<LGM_simple>(), 1e-10},          {Of<LGM_mixed>(), 1e-10},
        {Of<FM>(), 1e-10},          {Of<LGM_simple>(), just_below_one}, {Of<FM>(), just_below_one},
        {Of<MotherOfAll>(), 1e-10},
    };
    for (const auto& [make, seed] : stuck) {
        EXPECT_TRUE(Raises<Logic_error>([&] { make(seed); }, "Ranvar: seed out of range")) << seed;
    }
    EXPECT_NO_THROW(LGM_simple(std::nextafter(1.0 - kTwoToMinus31, 0.0)));
}

TEST_F(BaseGeneratorsTest, DestroyingTheInstalledGeneratorPutsThePlaceholderBack) {
    for (const Generator& g : Generators()) {
        SCOPED_TRACE(g.name);
        std::unique_ptr<Random> installed = g.make(0.5), other = g.make(0.25);
        Random::Set(*installed);
        EXPECT_STREQ(Random::RNG->Name(), g.name);
        other.reset();
        EXPECT_EQ(Random::RNG, installed.get());
        installed.reset();
        EXPECT_EQ(Random::RNG, Random::Dummy);
    }
}

// ---- Seed files ----

class BaseGeneratorSeedFileTest : public BaseGeneratorsTest {
protected:
    void SetUp() override { Random::SetDirectory(dir.WithSeparator().c_str()); }

    std::string Read(const char* name) const {
        std::ifstream in(dir.File(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    TempDir dir;
};

std::vector<unsigned long> Draw(Random& generator, int n) {
    std::vector<unsigned long> words(n);
    for (unsigned long& w : words) w = generator.ulNext();
    return words;
}

TEST_F(BaseGeneratorSeedFileTest, FishmanMooreFileHoldsItsState) {
    FM generator(0.5);
    generator.Next();
    Random::Set(generator);
    Random::CopySeedToDisk();
    EXPECT_EQ(Read("fm.txt"), "!Ranvar03!1C555064!Ranvar03!\n");
    FM other(0.9);
    Random::Set(other);
    Random::CopySeedFromDisk(false);
    EXPECT_EQ(other.ulNext(), 2 * MulMod(950706376, 475353188, kPrime31));
}

TEST_F(BaseGeneratorSeedFileTest, ReadingBackContinuesTheStream) {
    struct Case {
        const char* file;
        Factory make;
        std::size_t digits;
    };
    const std::vector<Case> cases = {
        {"lgm.txt", Of<LGM_simple>(), 8},
        {"wh.txt", Of<WH>(), 24},
        {"fm.txt", Of<FM>(), 8},
        {"multwc.txt", Of<MultWithCarry>(), 16},
        {"mother.txt", Of<MotherOfAll>(), 80},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        for (const int drawn : {0, 7}) {
            std::unique_ptr<Random> generator = c.make(0.37);
            Draw(*generator, drawn);
            Random::Set(*generator);
            Random::CopySeedToDisk();
            EXPECT_EQ(Read(c.file).size(), 10 + c.digits + 10 + 1);
            const std::vector<unsigned long> expected = Draw(*generator, 50);
            std::unique_ptr<Random> other = c.make(0.81);
            Random::Set(*other);
            Random::CopySeedFromDisk(false);
            EXPECT_EQ(Draw(*other, 50), expected) << "after " << drawn << " draws";
        }
    }
}

TEST_F(BaseGeneratorSeedFileTest, ShuffledParkMillerRebuildsItsTableFromTheSavedValue) {
    // From x0 = 1 the constructor leaves x = x128 = 16807^128 mod (2^31 - 1).
    LGM_mixed generator(kTwoToMinus31);
    Random::Set(generator);
    Random::CopySeedToDisk();
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08llX", static_cast<unsigned long long>(PowMod(16807, 128, kPrime31)));
    EXPECT_EQ(Read("lgm_mix.txt"), std::string("!Ranvar03!") + hex + "!Ranvar03!\n");
    // Reading x refills the table from it, as constructing from x would.
    const double x128 = static_cast<double>(PowMod(16807, 128, kPrime31)) * kTwoToMinus31;
    LGM_mixed from_file(0.6), from_seed(x128);
    Random::Set(from_file);
    Random::CopySeedFromDisk(false);
    EXPECT_EQ(Draw(from_file, 300), Draw(from_seed, 300));
}

TEST_F(BaseGeneratorSeedFileTest, LoadedWithCopyToDiskSavesItselfOnDestruction) {
    WH original(0.4);
    Random::Set(original);
    Random::CopySeedToDisk();
    {
        WH loaded(0.6);
        Random::Set(loaded);
        Random::CopySeedFromDisk(true);
        Draw(loaded, 3);
    }
    EXPECT_EQ(Random::RNG, Random::Dummy);
    Draw(original, 3);
    const std::vector<unsigned long> expected = Draw(original, 20);
    WH reader(0.7);
    Random::Set(reader);
    Random::CopySeedFromDisk(false);
    EXPECT_EQ(Draw(reader, 20), expected);
}

}  // namespace
