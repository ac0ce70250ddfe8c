// Extended-real arithmetic: the sum, difference and product tables, negation, printing.
#include "random/ext_real.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>

namespace {

std::string Show(const ExtReal& x) {
    std::ostringstream out;
    out << x;
    return out.str();
}

struct Case {
    ExtReal x;
    char op;
    ExtReal y;
    ExtReal expected;
};

const ExtReal kPlus(PlusInfinity);
const ExtReal kMinus(MinusInfinity);
const ExtReal kIndef(Indefinite);
const ExtReal kMissing(Missing);
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(ExtRealTest, ArithmeticTables) {
    const Case cases[] = {
        // Sum.
        {2.0, '+', 3.5, 5.5},
        {2.0, '+', kPlus, kPlus},
        {2.0, '+', kMinus, kMinus},
        {kPlus, '+', 2.0, kPlus},
        {kMinus, '+', 2.0, kMinus},
        {kPlus, '+', kPlus, kPlus},
        {kMinus, '+', kMinus, kMinus},
        {kPlus, '+', kMinus, kIndef},
        {kMinus, '+', kPlus, kIndef},
        {kIndef, '+', 1.0, kIndef},
        {kPlus, '+', kIndef, kIndef},
        {kMissing, '+', 1.0, kMissing},
        {1.0, '+', kMissing, kMissing},
        {kMissing, '+', kIndef, kMissing},
        {kIndef, '+', kMissing, kMissing},
        // Difference.
        {2.0, '-', 3.5, -1.5},
        {2.0, '-', kPlus, kMinus},
        {2.0, '-', kMinus, kPlus},
        {kPlus, '-', 2.0, kPlus},
        {kMinus, '-', 2.0, kMinus},
        {kPlus, '-', kMinus, kPlus},
        {kMinus, '-', kPlus, kMinus},
        {kPlus, '-', kPlus, kIndef},
        {kMinus, '-', kMinus, kIndef},
        {kIndef, '-', kPlus, kIndef},
        {kMissing, '-', kIndef, kMissing},
        {kPlus, '-', kMissing, kMissing},
        // Product.
        {2.0, '*', -3.5, -7.0},
        {0.0, '*', kPlus, kIndef},
        {kMinus, '*', 0.0, kIndef},
        {3.0, '*', kPlus, kPlus},
        {-3.0, '*', kPlus, kMinus},
        {-3.0, '*', kMinus, kPlus},
        {kNaN, '*', kPlus, kMinus},
        {kPlus, '*', 3.0, kPlus},
        {kPlus, '*', -3.0, kMinus},
        {kMinus, '*', -3.0, kPlus},
        {kPlus, '*', kNaN, kMinus},
        {kPlus, '*', kPlus, kPlus},
        {kPlus, '*', kMinus, kMinus},
        {kMinus, '*', kPlus, kMinus},
        {kMinus, '*', kMinus, kPlus},
        {kIndef, '*', 0.0, kIndef},
        {kPlus, '*', kIndef, kIndef},
        {kMissing, '*', kIndef, kMissing},
        {0.0, '*', kMissing, kMissing},
    };
    for (const Case& c : cases) {
        const ExtReal result = c.op == '+' ? c.x + c.y : c.op == '-' ? c.x - c.y : c.x * c.y;
        SCOPED_TRACE(Show(c.x) + " " + c.op + " " + Show(c.y));
        EXPECT_EQ(result.Kind(), c.expected.Kind());
        if (c.expected.Kind() == Finite) {
            EXPECT_EQ(result.Value(), c.expected.Value());
        }
    }
}

TEST(ExtRealTest, NegationSwapsInfinitiesAndKeepsTheUnknown) {
    EXPECT_EQ((-ExtReal(2.5)).Value(), -2.5);
    EXPECT_EQ((-ExtReal(2.5)).Kind(), Finite);
    EXPECT_EQ((-kPlus).Kind(), MinusInfinity);
    EXPECT_EQ((-kMinus).Kind(), PlusInfinity);
    EXPECT_EQ((-kIndef).Kind(), Indefinite);
    EXPECT_EQ((-kMissing).Kind(), Missing);
}

TEST(ExtRealTest, PrintsValueWithStreamFormatOrTheKindsName) {
    EXPECT_EQ(Show(0.5), "0.5");
    EXPECT_EQ(Show(0.08333333333333333), "0.0833333");
    EXPECT_EQ(Show(kPlus), "plus-infinity");
    EXPECT_EQ(Show(kMinus), "minus-infinity");
    EXPECT_EQ(Show(kIndef), "indefinite");
    EXPECT_EQ(Show(kMissing), "missing");

    std::ostringstream out;
    out.setf(std::ios::fixed);
    out.precision(2);
    out << ExtReal(1.0 / 3.0) << '|' << kMissing;
    EXPECT_EQ(out.str(), "0.33|missing");
}

}  // namespace
