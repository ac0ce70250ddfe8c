// Non-central chi-squared distribution function as a Poisson mixture of
// central chi-squared tails, summed outward from the largest weight.
#include "numerics/cdfchn.h"

#include <cmath>
#include <limits>

#include "numerics/cdf_checks.h"
#include "numerics/cdf_search.h"
#include "numerics/cdfchi.h"
#include "numerics/gaminv.h"
#include "numerics/poisson_mixture.h"

using namespace vorlan2;

void cumchn(double* x, double* df, double* pnonc, double* cum, double* ccum) {
    if (*x <= 0.0) {
        *cum = 0.0;
        *ccum = 1.0;
        return;
    }
    if (*pnonc <= 1.0e-10) {
        cumchi(x, df, cum, ccum);
        return;
    }
    const double xnonc = *pnonc / 2.0;
    if (!has_whole_indices(xnonc) || !std::isfinite(*df)) {
        *cum = std::numeric_limits<double>::quiet_NaN();
        *ccum = std::numeric_limits<double>::quiet_NaN();
        return;
    }
    if (std::isinf(*x)) {
        *cum = 1.0;
        *ccum = 0.0;
        return;
    }
    double chid2 = *x / 2.0;
    const double half_df = *df / 2.0;
    PoissonMixture mixture(xnonc);

    // The central tails of index i (df + 2i degrees of freedom), and the fall
    // d(i) of the lower tail from i to i + 1: the gamma density term
    // (x/2)^a e^(-x/2) / Gamma(a + 1) with a = df/2 + i.
    const auto central = [&](double i, double* lower, double* upper) {
        double dfi = *df + 2.0 * i;
        cumchi(x, &dfi, lower, upper);
    };
    const auto fall = [&](double i) {
        double ai = half_df + i;
        return rcomp(&ai, &chid2) / ai;
    };
    // Multiplied first: the ratio alone overflows for a tiny x.
    const auto below = [&](double adj, double i) { return adj * (half_df + i + 1.0) / chid2; };
    const auto above = [&](double adj, double i) { return adj * (chid2 / (half_df + i)); };
    mixture_tails(mixture, central, fall, below, above, cum, ccum);
}

void cdfchn(int* which, double* p, double* q, double* x, double* df, double* pnonc, int* status, double* bound) {
    // The series cannot resolve upper tails below about 1e-16.
    const double largest_p = 1.0 - 1.0e-16;
    if (fails_which(*which, 4, status, bound)) {
        return;
    }
    if (*which != 1 && fails_closed(*p, 0.0, largest_p, -2, status, bound)) {
        return;
    }
    if (*which != 2 && fails_at_least(*x, 0.0, -4, status, bound)) {
        return;
    }
    if (*which != 3 && fails_above(*df, 0.0, -5, status, bound)) {
        return;
    }
    if (*which != 4 && fails_at_least(*pnonc, 0.0, -6, status, bound)) {
        return;
    }
    const TailFunction tails = [&](double* cum, double* ccum) { cumchn(x, df, pnonc, cum, ccum); };
    switch (*which) {
        case 1:
            *status = forward_tails(tails, p, q);
            break;
        case 2:
            *status = search_parameter(x, 0.0, 1.0e300, 5.0, *p, 0.0, MatchedTail::lower, tails, bound);
            break;
        case 3:
            *status = search_parameter(df, 1.0e-300, 1.0e300, 5.0, *p, 0.0, MatchedTail::lower, tails, bound);
            break;
        default:
            *status = search_parameter(pnonc, 0.0, 1.0e4, 5.0, *p, 0.0, MatchedTail::lower, tails, bound);
            break;
    }
}
