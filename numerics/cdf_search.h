// The inverse modes shared by the distribution functions: a bounded search
// for one parameter, and the zero finder on [0, 1] for a probability pair.
#pragma once

#include <functional>

namespace vorlan2 {

// Writes the lower and upper tails at the current value of the sought
// parameter (which the search updates in place).
using TailFunction = std::function<void(double* cum, double* ccum)>;

// Which tail the search matches.
enum class MatchedTail {
    smaller,  // cum to p when p <= q, else ccum to q
    lower,    // always cum to p
};

// The forward mode: writes p = cum and q = ccum and returns 0, or returns 10
// (writing nothing) when the tails are not probabilities.
int forward_tails(const TailFunction& tails, double* p, double* q);

// Searches *sought in [small, big] from start (clamped into the limits) so
// that the matched tail equals its target. Returns status 0 (found), 1
// (below small; bound = small), 2 (above big; bound = big) or 10 (the tails
// were not probabilities, e.g. NaN, during the search, or the search closed
// in on no root).
int search_parameter(double* sought, double small, double big, double start, double p, double q, MatchedTail matched,
                     const TailFunction& tails, double* bound);

// Finds first and second = 1 - first in [0, 1] with cum = p (solving for
// first) when p <= q, else ccum = q (solving for second). Returns status 0,
// 1 (bound 0), 2 (bound 1) or 10 as search_parameter.
int search_pair(double* first, double* second, double p, double q, const TailFunction& tails, double* bound);

// Stores a closed-form solution for a parameter that must be positive: status
// 0 when 0 < solved < infinity; 1 (bound 0) when it is not positive or NaN;
// 2 (bound the largest double) when it is infinite. Nothing is stored then.
int store_positive(double solved, double* target, double* bound);

}  // namespace vorlan2
