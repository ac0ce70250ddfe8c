// The written copy choice, which decides whenever the fast path cannot.
#include "simulator/copy_choice.h"


int uniform_candidate_by_subtraction(double u, int K) {
    const double weight = 1.0 / K;
    for (int q = 0; q < K; ++q) {
        u -= weight;
        if (u <= 0.0) return q;
    }
    return K - 1;
}
