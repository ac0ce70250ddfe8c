// The written copy choice, which decides whenever the fast path cannot, and
// the exact count of outputs below a draw.
#include "simulator/copy_choice.h"

namespace vorlan2 {

int uniform_candidate_by_subtraction(double u, int K) {
    const double weight = 1.0 / K;
    for (int q = 0; q < K; ++q) {
        u -= weight;
        if (u <= 0.0) return q;
    }
    return K - 1;
}

std::uint64_t outputs_below(double p) {
    // Scaling by a power of two is exact; so is taking 0.5 off below 2^52.
    const double scaled = p * 0x1p32;
    if (!(scaled > 0.5)) return 0;
    if (scaled >= 0x1p32) return std::uint64_t{1} << 32;
    return static_cast<std::uint64_t>(std::ceil(scaled - 0.5));
}

}  // namespace vorlan2
