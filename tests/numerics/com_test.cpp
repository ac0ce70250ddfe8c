// Combined multiplicative generator: streams against L'Ecuyer's recurrence computed
// independently, block and generator jumps, antithetic streams, mltmod and the aborts.
#include "numerics/com.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "exact_stderr.h"

namespace {

// Reference streams were computed in python from the recurrence itself:
// s1 = 40014 s1 mod 2147483563, s2 = 40692 s2 mod 2147483399, z = s1 - s2 (+ 2147483562
// when below 1), with the seeds of generator g multiplied by 40014^(2^50 (g - 1)) and
// 40692^(2^50 (g - 1)).
const std::vector<long> default_stream = {695163044, 696626468, 1059541850, 620042603, 758075822};

// Drawn during static initialisation, before any test has touched the generator, so that
// the start-up path (constants and default seeds stored on first use) is what is seen.
const std::vector<long> startup_draws = [] {
    std::vector<long> draws;
    for (std::size_t i = 0; i < default_stream.size(); ++i) {
        draws.push_back(ignlgi());
    }
    return draws;
}();

std::vector<long> draw(int count) {
    std::vector<long> out;
    for (int i = 0; i < count; ++i) {
        out.push_back(ignlgi());
    }
    return out;
}

void use_generator(long g) { gscgn(1, &g); }

void reseed_default() {
    setall(1234567890, 123456789);
    use_generator(1);
}

}  // namespace

TEST(CombinedGenerator, FirstDrawsWithoutSeedingUseTheDefaultSeedsOfGenerator1) {
    EXPECT_EQ(startup_draws, default_stream);
}

TEST(CombinedGenerator, InrgcmStoresThePublishedConstants) {
    inrgcm();
    // python: pow(40014, 2**30, 2147483563), pow(40692, 2**30, 2147483399), and 2**50.
    EXPECT_EQ(Xm1, 2147483563);
    EXPECT_EQ(Xm2, 2147483399);
    EXPECT_EQ(Xa1, 40014);
    EXPECT_EQ(Xa2, 40692);
    EXPECT_EQ(Xa1w, 1033780774);
    EXPECT_EQ(Xa2w, 1494757890);
    EXPECT_EQ(Xa1vw, 2082007225);
    EXPECT_EQ(Xa2vw, 784306273);
    long flag = 0;
    gsrgs(0, &flag);
    EXPECT_EQ(flag, 1);
}

TEST(CombinedGenerator, FlagAccessorsReadAndWrite) {
    long flag = 0;
    gssst(1, &flag);  // a write sets the seeds-set flag whatever the value passed
    long read = -1;
    gssst(0, &read);
    EXPECT_EQ(read, 1);
    long g = 17;
    gscgn(1, &g);
    gscgn(0, &read);
    EXPECT_EQ(read, 17);
    g = 1;
    gscgn(1, &g);
    long initialised = 0;
    gsrgs(0, &initialised);
    long saved = initialised;
    long zero = 0;
    gsrgs(1, &zero);
    gsrgs(0, &read);
    EXPECT_EQ(read, 0);
    gsrgs(1, &saved);
}

TEST(CombinedGenerator, StreamsOfOtherGeneratorsStart2To50ValuesApart) {
    reseed_default();
    use_generator(5);
    long s1, s2;
    getsd(&s1, &s2);
    EXPECT_EQ(s1, 470640713);
    EXPECT_EQ(s2, 1749155820);
    EXPECT_EQ(draw(3), (std::vector<long>{475275051, 1971664015, 1648662976}));
    use_generator(1);
    EXPECT_EQ(draw(5), default_stream);
}

TEST(CombinedGenerator, ThousandthOutputMatchesTheRecurrence) {
    reseed_default();
    const std::vector<long> outputs = draw(1000);
    EXPECT_EQ(outputs.back(), 863790508);
    for (long z : outputs) {
        EXPECT_GE(z, 1);
        EXPECT_LE(z, 2147483562);
    }
}

TEST(CombinedGenerator, SetallSeedsGenerator2FromGenerator1) {
    setall(111, 222);
    long s1, s2;
    use_generator(1);
    getsd(&s1, &s2);
    EXPECT_EQ(s1, 111);
    EXPECT_EQ(s2, 222);
    use_generator(2);
    getsd(&s1, &s2);
    // python: 111 * 2082007225 % 2147483563, 222 * 784306273 % 2147483399
    EXPECT_EQ(s1, 1322060734);
    EXPECT_EQ(s2, 169837287);
    use_generator(1);
}

TEST(CombinedGenerator, SetallKeepsTheCurrentGenerator) {
    use_generator(7);
    setall(5, 6);
    long g = 0;
    gscgn(0, &g);
    EXPECT_EQ(g, 7);
    use_generator(1);
}

TEST(CombinedGenerator, AntitheticStreamMirrorsThePlainOne) {
    reseed_default();
    const std::vector<long> plain = draw(50);
    initgn(-1);
    setant(1);
    const std::vector<long> mirrored = draw(50);
    setant(0);
    for (std::size_t i = 0; i < plain.size(); ++i) {
        EXPECT_EQ(mirrored[i], 2147483563 - plain[i]);
    }
}

TEST(CombinedGenerator, InitgnReplaysTheBlockOrMovesToTheNext) {
    reseed_default();
    draw(17);
    initgn(0);
    EXPECT_EQ(draw(5), default_stream);
    initgn(1);
    // python: seeds multiplied by 40014^(2^30) and 40692^(2^30), then the recurrence.
    EXPECT_EQ(draw(3), (std::vector<long>{2088717528, 1361274651, 1900834927}));
    initgn(0);
    EXPECT_EQ(draw(1), std::vector<long>{2088717528});
    initgn(-1);
    EXPECT_EQ(draw(5), default_stream);
}

TEST(CombinedGenerator, AdvnstJumpsAndMakesTheStateTheNewStart) {
    // advnst(k) moves 2^k values on, so advnst(0) moves by exactly one value.
    reseed_default();
    draw(3);
    const std::vector<long> ahead = draw(5);
    reseed_default();
    draw(3);
    advnst(0);
    EXPECT_EQ(draw(4), std::vector<long>(ahead.begin() + 1, ahead.end()));
    initgn(-1);
    EXPECT_EQ(draw(4), std::vector<long>(ahead.begin() + 1, ahead.end()));

    long s1, s2;
    reseed_default();
    advnst(10);
    getsd(&s1, &s2);
    // python: pow(40014, 2**10, m1) * 1234567890 % m1 and likewise for the second seed.
    EXPECT_EQ(s1, 1182668337);
    EXPECT_EQ(s2, 1475641662);
    draw(2);
    initgn(-1);
    getsd(&s1, &s2);
    EXPECT_EQ(s1, 1182668337);
    EXPECT_EQ(s2, 1475641662);
}

TEST(CombinedGenerator, SetsdRestartsTheCurrentGeneratorAtTheNewSeeds) {
    reseed_default();
    use_generator(3);
    setsd(1234567890, 123456789);
    EXPECT_EQ(draw(5), default_stream);
    use_generator(1);
}

TEST(Mltmod, EqualsTheExactProductModuloM) {
    std::mt19937_64 source(20261210);
    const long largest = 2147483647;
    for (int trial = 0; trial < 200000; ++trial) {
        long m;
        switch (trial % 4) {
            case 0:
                m = largest;
                break;
            case 1:
                m = 2147483563;
                break;
            default:
                m = std::uniform_int_distribution<long>(2, largest)(source);
                break;
        }
        long a = std::uniform_int_distribution<long>(1, m - 1)(source);
        long s = std::uniform_int_distribution<long>(1, m - 1)(source);
        if (trial % 7 == 0) {
            a = m - 1 - (trial % 3);  // the large multipliers above 2^30
        }
        if (a < 1) {
            a = 1;
        }
        const long expected = static_cast<long>(static_cast<__int128>(a) * s % m);
        ASSERT_EQ(mltmod(a, s, m), expected) << a << " * " << s << " mod " << m;
    }
}

TEST(Mltmod, SmallAndBoundaryOperands) {
    struct Case {
        long a, s, m;
    };
    const Case cases[] = {{1, 1, 2},
                          {32767, 2, 65536},
                          {32768, 3, 2147483563},
                          {1073741824, 5, 2147483647},
                          {2147483646, 2147483646, 2147483647},
                          {40014, 2147483562, 2147483563}};
    for (const Case& c : cases) {
        EXPECT_EQ(mltmod(c.a, c.s, c.m), static_cast<long>(static_cast<__int128>(c.a) * c.s % c.m));
    }
}

using CombinedGeneratorDeathTest = testing::Test;

TEST_F(CombinedGeneratorDeathTest, MltmodOutsideItsRangeStops) {
    const std::string text =
        " a, m, s out of order in mltmod - ABORT! a =          100 s =            0 m =          100\n"
        " mltmod requires: 0 < a < m; 0 < s < m";
    EXPECT_EXIT(mltmod(100, 0, 100), testing::ExitedWithCode(1), exact_stderr(text));
}

TEST_F(CombinedGeneratorDeathTest, SetallWithASeedOutOfRangeStopsWhileDerivingGenerator2) {
    const std::string text =
        " a, m, s out of order in mltmod - ABORT! a =   2082007225 s =   2147483563 m =   2147483563\n"
        " mltmod requires: 0 < a < m; 0 < s < m";
    EXPECT_EXIT(setall(2147483563, 5), testing::ExitedWithCode(1), exact_stderr(text));
}

TEST_F(CombinedGeneratorDeathTest, GeneratorNumberOutOfRangeStopsWithStatus1) {
    for (long g : {0L, 33L}) {
        EXPECT_EXIT(gscgn(1, &g), testing::ExitedWithCode(1), exact_stderr(" Generator number out of range in GSCGN"));
    }
}

TEST_F(CombinedGeneratorDeathTest, InitgnRejectsAnUnknownType) {
    inrgcm();
    EXPECT_EXIT(initgn(2), testing::ExitedWithCode(1), exact_stderr("isdtyp not in range in INITGN\n"));
}

TEST_F(CombinedGeneratorDeathTest, RoutinesNeedingTheConstantsRefuseBeforeInitialisation) {
    const auto uninitialise = [] {
        long zero = 0;
        gsrgs(1, &zero);
    };
    long s1, s2;
    EXPECT_EXIT((uninitialise(), setsd(1, 1)), testing::ExitedWithCode(1),
                exact_stderr(" SETSD called before random number generator  initialized -- abort!\n"));
    EXPECT_EXIT((uninitialise(), getsd(&s1, &s2)), testing::ExitedWithCode(1),
                exact_stderr(" GETSD called before random number generator  initialized -- abort!\n"));
    EXPECT_EXIT((uninitialise(), initgn(0)), testing::ExitedWithCode(1),
                exact_stderr(" INITGN called before random number generator  initialized -- abort!\n"));
    EXPECT_EXIT((uninitialise(), setant(1)), testing::ExitedWithCode(1),
                exact_stderr(" SETANT called before random number generator  initialized -- abort!\n"));
    EXPECT_EXIT((uninitialise(), advnst(1)), testing::ExitedWithCode(1),
                exact_stderr(" ADVNST called before random generator initialized - ABORT"));
}
