// The correction table and the table-driven and polynomial corrections.
#include "simulator/pacb_correction.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

struct Entry {
    int a;
    int b;
    double m;
    double s;
};

double table_m(int a, int b) { return pacbarray[2 * (99 * (a - 2) + (b - 2))]; }
double table_s(int a, int b) { return pacbarray[2 * (99 * (a - 2) + (b - 2)) + 1]; }

TEST(PacbTable, HoldsTheKnownEntries) {
    const Entry known[] = {
        {2, 2, -0.103155, -0.24296},    {2, 3, -0.107539, -0.240263},      {3, 2, -0.102902, -0.241492},
        {10, 10, -0.137788, -0.208683}, {20, 80, -0.083402, -0.251651},    {50, 50, -0.071285, -0.209666},
        {100, 2, -0.18634, -0.0922994}, {100, 100, -0.0380763, -0.207447},
    };
    for (const Entry& e : known) {
        EXPECT_EQ(table_m(e.a, e.b), e.m) << e.a << ", " << e.b;
        EXPECT_EQ(table_s(e.a, e.b), e.s) << e.a << ", " << e.b;
    }
}

TEST(PacbTable, EveryEntryLiesInItsRange) {
    for (int a = 2; a <= 100; ++a)
        for (int b = 2; b <= 100; ++b) {
            EXPECT_GE(table_m(a, b), -0.206392) << a << ", " << b;
            EXPECT_LE(table_m(a, b), -0.0380763) << a << ", " << b;
            EXPECT_GE(table_s(a, b), -0.278088) << a << ", " << b;
            EXPECT_LE(table_s(a, b), -0.0859927) << a << ", " << b;
        }
}

TEST(BackCorrection, LeavesXWhenAnArgumentIsAtMostOneOrXIsZero) {
    EXPECT_EQ(back_correction(1, 50, 0.3), 0.3);
    EXPECT_EQ(back_correction(50, 1, 0.3), 0.3);
    EXPECT_EQ(back_correction(-7, 50, 0.3), 0.3);
    EXPECT_EQ(back_correction(50, 0, -2.0), -2.0);
    for (const int a : {-3, 0, 1, 2, 50, 100, 150})
        for (const int b : {-3, 0, 1, 2, 50, 100, 150}) EXPECT_EQ(back_correction(a, b, 0.0), 0.0) << a << ", " << b;
}

TEST(BackCorrection, CorrectsWithTheTableEntry) {
    // mpmath: exp((log(x) - m) / (s / mpf('2.302585') + 1)) with the table's m and s
    EXPECT_NEAR(back_correction(100, 100, 0.3), 0.27766608295047843189, 1e-15);
    EXPECT_NEAR(back_correction(2, 3, 0.5), 0.52004900066761591652, 1e-15);
    EXPECT_NEAR(back_correction(100, 2, 2.5), 3.1540127478168922744, 4e-15);
}

TEST(BackCorrection, ArgumentsAbove100UseTheEntriesOf100) {
    for (const double x : {0.01, 0.3, 5.0}) {
        EXPECT_EQ(back_correction(150, 150, x), back_correction(100, 100, x));
        EXPECT_EQ(back_correction(150, 2, x), back_correction(100, 2, x));
        EXPECT_EQ(back_correction(20, 101, x), back_correction(20, 100, x));
    }
}

struct Polynomial {
    int a;
    int b;
    double x;
    double expected;
};

TEST(MyBackCorrection, MatchesTheExactPolynomials) {
    // mpmath (40 digits): P and Q from the decimal coefficients, then
    // exp((log(x) - P) / (Q / mpf('2.302585') + 1)); a >= 121 counts as 100, b > 100 as 100.
    const Polynomial cases[] = {
        {1, 1, 0.3, 0.34886212230919173202},  // a and b are not checked
        {-5, 0, 0.25, 0.28913276379134565478},  {10, 20, 0.5, 0.56292596238035608147},
        {50, 100, 1.7, 1.9413107940132269172},  {100, 50, 0.3, 0.29042199785691213462},
        {110, 50, 0.3, 0.29027771101382452379},  // 101 to 120 are used as they are
        {120, 50, 0.3, 0.29025207835074267648}, {121, 50, 0.3, 0.29042199785691213462},  // as 100
        {500, 50, 0.3, 0.29042199785691213462}, {50, 150, 1.7, 1.9413107940132269172},   // as 100
    };
    for (const Polynomial& c : cases)
        EXPECT_NEAR(my_back_correction(c.a, c.b, c.x), c.expected, 1e-15 * c.expected) << c.a << ", " << c.b;
    EXPECT_EQ(my_back_correction(121, 50, 0.3), my_back_correction(100, 50, 0.3));
    EXPECT_NE(my_back_correction(110, 50, 0.3), my_back_correction(100, 50, 0.3));
}

TEST(MyBackCorrection, LeavesZeroUnchanged) {
    EXPECT_EQ(my_back_correction(50, 50, 0.0), 0.0);
    EXPECT_EQ(my_back_correction(1, 1, 0.0), 0.0);
}

TEST(Corrections, NegativeXGivesNotANumber) {
    EXPECT_TRUE(std::isnan(back_correction(50, 50, -0.3)));
    EXPECT_TRUE(std::isnan(my_back_correction(50, 50, -0.3)));
}

}  // namespace
