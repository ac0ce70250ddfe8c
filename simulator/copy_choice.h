// The two draws of the copying model that are made most often, each with an
// exact fast path: it answers only where it provably agrees with the written
// computation, which decides every other case.
#pragma once

#include <algorithm>
#include <cmath>

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
