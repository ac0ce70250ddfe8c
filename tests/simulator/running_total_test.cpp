// Running totals taken a run at a time against one addition after another:
// the same bits, over terms that make the rounding go every way it can.
#include "simulator/running_total.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace vorlan2;

namespace {

double one_at_a_time(double total, const std::vector<double>& w) {
    for (const double term : w) total = total + term;
    return total;
}

TEST(AddInTurn, GivesTheBitsOfOneAdditionAfterAnother) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const struct {
        std::string name;
        double (*term)(std::mt19937_64&, std::uniform_real_distribution<double>&);
        double start;
    } cases[] = {
        {"fractions", [](auto& r, auto& u) { return u(r); }, 0.5},
        {"small against the total", [](auto& r, auto& u) { return u(r) * 1e-9; }, 3.0},
        // Powers of two and small multiples of them fall halfway between
        // units of the total, where the rounding goes to the even one.
        {"powers of two", [](auto& r, auto&) { return std::ldexp(1.0, -static_cast<int>(r() % 60)); }, 1.0},
        {"multiples of a half unit",
         [](auto& r, auto&) { return static_cast<double>(r() % 7) * std::ldexp(1.0, -53 - static_cast<int>(r() % 3)); },
         1.0},
        {"now and then large", [](auto& r, auto& u) { return u(r) < 0.05 ? u(r) * 1e6 : u(r) * 1e-12; }, 1e-3},
        {"from zero, tiny and subnormal",
         [](auto& r, auto& u) { return r() % 3 == 0 ? 0.0 : std::ldexp(u(r), -static_cast<int>(r() % 1100)); }, 0.0},
        // Terms of half the total or more: a unit's rounding is no longer
        // that of a whole number.
        {"about half the total",
         [](auto& r, auto&) { return r() % 300 == 0 ? 0.5 + static_cast<double>(r() % 4) * 0x1p-52 : 0.0; }, 1.0},
        {"crossing binades", [](auto& r, auto& u) { return u(r) * 1e-3; }, 0.999},
        {"near the largest doubles", [](auto& r, auto& u) { return u(r) * 1e300; }, 1e306},
    };
    for (const auto& c : cases) {
        std::size_t differ = 0;
        for (int t = 0; t < 300; ++t) {
            std::vector<double> w(1 + random() % 2000);
            for (double& term : w) term = c.term(random, unit);
            const double expected = one_at_a_time(c.start, w);
            const double got = add_in_turn(c.start, w.data(), w.size());
            differ += std::memcmp(&expected, &got, sizeof got) != 0;
        }
        EXPECT_EQ(differ, 0u) << c.name;
    }
}

TEST(AddInTurn, AnInfiniteTermMakesTheTotalInfinite) {
    std::vector<double> w(1000, 1e-3);
    w[700] = INFINITY;
    EXPECT_EQ(add_in_turn(1.0, w.data(), w.size()), INFINITY);
}

}  // namespace
