// The draws of the copying model that are made most often, each with an
// exact fast path: it answers only where it provably agrees with the written
// computation, which decides every other case.
//
// The written computation, here and wherever the simulator takes a faster
// path: the floating-point operations of a draw as the model states them,
// one after another in the stated order (weights formed, summed, divided
// and subtracted one at a time, totals run up pair by pair). A fixed seed's
// outputs depend on every rounding of it, so a faster path must give the
// very result it gives, proven in a comment beside the path or taken from
// the same operations in the same order.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vorlan2 {

// The index chosen by u among K equal weights 1/K: the weights subtracted
// from u in index order until the rest is not positive (K - 1 when it stays
// positive).
int uniform_candidate_by_subtraction(double u, int K);
// The same index, mostly without the scan. The scan stops after ceil(u K)
// subtractions unless rounding moves the rest across zero. Its rounding
// error stays below (K + 2) 2^-52 in u; a product u K farther than
// K (K + 2) 2^-51 from every integer therefore gives the scan's index.
inline int uniform_candidate(double u, int K) {
    const double x = u * K;
    const double margin = static_cast<double>(K) * (static_cast<double>(K) + 2.0) * 0x1p-51;
    if (std::fabs(x - std::nearbyint(x)) > margin)
        return std::min(std::max(static_cast<int>(std::ceil(x)) - 1, 0), K - 1);
    return uniform_candidate_by_subtraction(u, K);
}

// Whether a draw u places a switch across a genetic gap with K candidates:
// u > exp(-gap / K). exp(y) >= 1 + y, and the library's exp is within an
// ulp: a draw below 1 + y by more than that is below the computed
// exponential as well, and that exponential need not be taken.
inline bool switches_between(double u, double gap, double K) {
    const double exponent = -gap / K;
    if (u < (1.0 + exponent) - 0x1p-50) return false;
    return u > std::exp(exponent);
}

// How many generator outputs y (0 to 2^32 - 1) give a draw (y + 0.5) 2^-32
// below p: exactly, from 0 to 2^32. Outputs are then compared instead of
// draws, with no conversion to double.
std::uint64_t outputs_below(double p);

// The largest output floor such that every output below it is a draw that
// places no switch across this gap for any candidate count from K up: the
// switch test's first branch holds there, since -gap / K only grows with K
// when the gap is not negative. Other gaps get 0 and are always tested.
inline std::uint32_t switch_floor(double gap, double K) {
    if (!(gap >= 0.0)) return 0;
    const std::uint64_t below = outputs_below((1.0 + -gap / K) - 0x1p-50);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(below, 0xffffffffu));
}

}  // namespace vorlan2
