// Fast paths of the copy choice and the switch test, with their bounds.
#include "simulator/copy_choice.h"

#include <algorithm>
#include <cmath>

int uniform_candidate_by_subtraction(double u, int K) {
    const double weight = 1.0 / K;
    for (int q = 0; q < K; ++q) {
        u -= weight;
        if (u <= 0.0) return q;
    }
    return K - 1;
}

int uniform_candidate(double u, int K) {
    // The scan stops after ceil(u K) subtractions unless rounding moves the
    // rest across zero. Its rounding error stays below (K + 2) 2^-52 in u; a
    // product u K farther than K (K + 2) 2^-51 from every integer therefore
    // gives the scan's index.
    const double x = u * K;
    const double margin = static_cast<double>(K) * (static_cast<double>(K) + 2.0) * 0x1p-51;
    if (std::fabs(x - std::nearbyint(x)) > margin)
        return std::min(std::max(static_cast<int>(std::ceil(x)) - 1, 0), K - 1);
    return uniform_candidate_by_subtraction(u, K);
}

bool switches_between(double u, double gap, double K) {
    const double exponent = -gap / K;
    // exp(y) >= 1 + y, and the library's exp is within an ulp: a draw below
    // 1 + y by more than that is below the computed exponential as well.
    if (u < (1.0 + exponent) - 0x1p-50) return false;
    return u > std::exp(exponent);
}
