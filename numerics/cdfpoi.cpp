// Poisson distribution function through the chi-squared upper tail, with
// the count and the mean found by the root search.
#include "numerics/cdfpoi.h"

#include "numerics/cdf_checks.h"
#include "numerics/cdf_search.h"
#include "numerics/cdfchi.h"

using namespace vorlan2;

void cumpoi(double* s, double* xlam, double* cum, double* ccum) {
    // P(X <= s) = P(chi-squared with 2(s + 1) degrees of freedom > 2 xlam).
    double df = 2.0 * (*s + 1.0);
    double chi = 2.0 * *xlam;
    cumchi(&chi, &df, ccum, cum);
}

void cdfpoi(int* which, double* p, double* q, double* s, double* xlam, int* status, double* bound) {
    if (fails_which(*which, 3, status, bound)) {
        return;
    }
    if (*which != 1 &&
        (fails_closed(*p, 0.0, 1.0, -2, status, bound) || fails_open_below(*q, 0.0, 1.0, -3, status, bound))) {
        return;
    }
    if (*which != 2 && fails_at_least(*s, 0.0, -4, status, bound)) {
        return;
    }
    if (*which != 3 && fails_at_least(*xlam, 0.0, -5, status, bound)) {
        return;
    }
    if (*which != 1 && fails_sum_to_one(*p, *q, 3, status, bound)) {
        return;
    }
    const TailFunction tails = [&](double* cum, double* ccum) { cumpoi(s, xlam, cum, ccum); };
    if (*which == 1) {
        *status = forward_tails(tails, p, q);
        return;
    }
    double* sought = *which == 2 ? s : xlam;
    *status = search_parameter(sought, 0.0, 1.0e300, 5.0, *p, *q, MatchedTail::smaller, tails, bound);
}
