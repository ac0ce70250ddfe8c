// Negative binomial distribution function through the incomplete beta ratio,
// with the root search for the counts and the zero finder for the probability.
#include "numerics/cdfnbn.h"

#include "numerics/cdf_checks.h"
#include "numerics/cdf_search.h"
#include "numerics/cdfbet.h"

using namespace vorlan2;

void cumnbn(double* s, double* xn, double* pr, double* ompr, double* cum, double* ccum) {
    // P(X <= s) = I_pr(xn, s + 1).
    double b = *s + 1.0;
    cumbet(pr, ompr, xn, &b, cum, ccum);
}

void cdfnbn(int* which, double* p, double* q, double* s, double* xn, double* pr, double* ompr, int* status,
            double* bound) {
    if (fails_which(*which, 4, status, bound)) {
        return;
    }
    if (*which != 1 &&
        (fails_closed(*p, 0.0, 1.0, -2, status, bound) || fails_open_below(*q, 0.0, 1.0, -3, status, bound))) {
        return;
    }
    if (*which != 2 && fails_at_least(*s, 0.0, -4, status, bound)) {
        return;
    }
    if (*which != 3 && fails_at_least(*xn, 0.0, -5, status, bound)) {
        return;
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
    const TailFunction tails = [&](double* cum, double* ccum) { cumnbn(s, xn, pr, ompr, cum, ccum); };
    switch (*which) {
        case 1:
            *status = forward_tails(tails, p, q);
            break;
        case 2:
            *status = search_parameter(s, 0.0, 1.0e300, 5.0, *p, *q, MatchedTail::smaller, tails, bound);
            break;
        case 3:
            *status = search_parameter(xn, 0.0, 1.0e300, 5.0, *p, *q, MatchedTail::smaller, tails, bound);
            break;
        default:
            *status = search_pair(pr, ompr, *p, *q, tails, bound);
            break;
    }
}
