// Runs of additions within one binade of the total, added as whole units.
#include "simulator/running_total.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace vorlan2 {

namespace {

// Terms taken at a time, and independent chains of additions over them.
constexpr std::size_t run = 256;
constexpr std::size_t lanes = 16;

double power_of_two(int exponent) {
    const std::uint64_t bits = static_cast<std::uint64_t>(exponent + 1023) << 52;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Why a run's additions can be taken at once. Let the total T lie in
// [B, 2B), B a power of two from 2^-900 to 2^1000, with unit U = B 2^-52:
// every double in [B, 2B] is a multiple of U, and T is one. While a sum stays
// below 2B, T + w rounded to nearest is T + n U, n the integer nearest to
// w / U, unless w / U lies exactly halfway between two integers (then the
// rounding goes to the even multiple, which depends on T). x = w / U =
// w 2^52 / B is a product by a power of two, exact unless it overflows (and
// then infinite) or falls below the normal range (and then far below 1/2, as
// w / U is). Let y = (x + 1.5 2^52) - 1.5 2^52, a whole number: below 2^51, x
// rounds to the nearest integer, and |x - y| is 1/2 only at a halfway point;
// beyond, the sum is rounded to a multiple of 2 or more, and |x - y| < 1/2
// still means that y is the integer nearest to x. So in a run whose terms
// all have |x - y| < 1/2, each term adds y U, as long as the sum stays below
// 2B: the partial sums only grow, so each of them stayed in [B, 2B) too. The
// y are whole numbers and their sum is checked to be below 2^52, so it is
// exact in any order (an infinite term fails the check), and so is T + U N,
// a multiple of U below 2B. Any other run is added one term at a time.
bool add_run(double& total, const double* w) {
    if (!(total >= 0x1p-900 && total < 0x1p1000)) return false;
    std::uint64_t bits;
    std::memcpy(&bits, &total, sizeof bits);
    const int exponent = static_cast<int>(bits >> 52) - 1023;  // total in [2^exponent, 2^(exponent + 1))
    const double B = power_of_two(exponent);
    const double per_unit = power_of_two(52 - exponent);  // 1 / U
    constexpr double magic = 0x1.8p52;
    double units[lanes] = {};
    double farthest[lanes] = {};  // of x from y
    for (std::size_t k = 0; k < run; k += lanes) {
        for (std::size_t j = 0; j < lanes; ++j) {
            const double term = w[k + j];
            const double x = term * per_unit;
            const double nearest = (x + magic) - magic;
            farthest[j] = std::max(farthest[j], std::fabs(x - nearest));
            units[j] += nearest;
        }
    }
    double sum = 0.0;
    double away_most = 0.0;
    for (std::size_t j = 0; j < lanes; ++j) {
        sum += units[j];
        away_most = std::max(away_most, farthest[j]);
    }
    if (!(away_most < 0.5 && sum < 0x1p52)) return false;
    const double after = total + sum / per_unit;
    if (!(after < 2 * B)) return false;
    total = after;
    return true;
}

}  // namespace

double add_in_turn(double total, const double* w, std::size_t n) {
    std::size_t k = 0;
    for (; k + run <= n; k += run) {
        if (add_run(total, w + k)) continue;
        for (std::size_t j = 0; j < run; ++j) total = total + w[k + j];
    }
    for (; k < n; ++k) total = total + w[k];
    return total;
}

}  // namespace vorlan2
