// Binomial distribution function through the incomplete beta ratio, with
// the root search for the counts and the zero finder for the probability.
#include "numerics/cdfbin.h"

#include "numerics/cdf_checks.h"
#include "numerics/cdf_search.h"
#include "numerics/cdfbet.h"

using namespace vorlan2;

void cumbin(double* s, double* xn, double* pr, double* ompr, double* cum, double* ccum) {
    if (*s < *xn) {
        // P(X <= s) = 1 - I_pr(s + 1, xn - s).
        double a = *s + 1.0;
        double b = *xn - *s;
        cumbet(pr, ompr, &a, &b, ccum, cum);
        return;
    }
    *cum = 1.0;
    *ccum = 0.0;
}

void cdfbin(int* which, double* p, double* q, double* s, double* xn, double* pr, double* ompr, int* status,
            double* bound) {
    if (fails_which(*which, 4, status, bound)) {
        return;
    }
    if (*which != 1 &&
        (fails_closed(*p, 0.0, 1.0, -2, status, bound) || fails_closed(*q, 0.0, 1.0, -3, status, bound))) {
        return;
    }
    if (*which != 3 && fails_above(*xn, 0.0, -5, status, bound)) {
        return;
    }
    if (*which != 2) {
        if (fails_at_least(*s, 0.0, -4, status, bound)) {
            return;
        }
        if (*which != 3 && *s > *xn) {
            *status = -4;
            *bound = *xn;
            return;
        }
    }
    if (*which != 4 &&
        (fails_closed(*pr, 0.0, 1.0, -6, status, bound) || fails_closed(*ompr, 0.0, 1.0, -7, status, bound))) {
        return;
    }
    if (*which != 1 && fails_sum_to_one(*p, *q, 3, status, bound)) {
        return;
    }
    if (*which != 4 && fails_sum_to_one(*pr, *ompr, 4, status, bound)) {
        return;
    }
    const TailFunction tails = [&](double* cum, double* ccum) { cumbin(s, xn, pr, ompr, cum, ccum); };
    switch (*which) {
        case 1:
            *status = forward_tails(tails, p, q);
            break;
        case 2:
            *status = search_parameter(s, 0.0, *xn, 5.0, *p, *q, MatchedTail::smaller, tails, bound);
            break;
        case 3:
            *status = search_parameter(xn, 1.0e-300, 1.0e300, 5.0, *p, *q, MatchedTail::smaller, tails, bound);
            break;
        default:
            *status = search_pair(pr, ompr, *p, *q, tails, bound);
            break;
    }
}
