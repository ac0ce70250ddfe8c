// Beta distribution function through the incomplete beta ratio; x by the
// zero finder on [0, 1], the shapes by the root search.
#include "numerics/cdfbet.h"

#include <limits>

#include "numerics/bratio.h"
#include "numerics/cdf_checks.h"
#include "numerics/cdf_search.h"

using namespace vorlan2;

void cumbet(double* x, double* y, double* a, double* b, double* cum, double* ccum) {
    if (*x <= 0.0) {
        *cum = 0.0;
        *ccum = 1.0;
        return;
    }
    if (*y <= 0.0) {
        *cum = 1.0;
        *ccum = 0.0;
        return;
    }
    int ierr = 0;
    bratio(a, b, x, y, cum, ccum, &ierr);
    if (ierr != 0) {
        // Not probabilities, so that no caller takes them for a result.
        *cum = std::numeric_limits<double>::quiet_NaN();
        *ccum = std::numeric_limits<double>::quiet_NaN();
    }
}

void cdfbet(int* which, double* p, double* q, double* x, double* y, double* a, double* b, int* status, double* bound) {
    if (fails_which(*which, 4, status, bound)) {
        return;
    }
    if (*which != 1 &&
        (fails_closed(*p, 0.0, 1.0, -2, status, bound) || fails_closed(*q, 0.0, 1.0, -3, status, bound))) {
        return;
    }
    if (*which != 2 &&
        (fails_closed(*x, 0.0, 1.0, -4, status, bound) || fails_closed(*y, 0.0, 1.0, -5, status, bound))) {
        return;
    }
    if (*which != 3 && fails_above(*a, 0.0, -6, status, bound)) {
        return;
    }
    if (*which != 4 && fails_above(*b, 0.0, -7, status, bound)) {
        return;
    }
    if (*which != 1 && fails_sum_to_one(*p, *q, 3, status, bound)) {
        return;
    }
    if (*which != 2 && fails_sum_to_one(*x, *y, 4, status, bound)) {
        return;
    }
    const TailFunction tails = [&](double* cum, double* ccum) { cumbet(x, y, a, b, cum, ccum); };
    switch (*which) {
        case 1:
            *status = forward_tails(tails, p, q);
            break;
        case 2:
            *status = search_pair(x, y, *p, *q, tails, bound);
            break;
        case 3:
            *status = search_parameter(a, 1.0e-300, 1.0e300, 5.0, *p, *q, MatchedTail::smaller, tails, bound);
            break;
        default:
            *status = search_parameter(b, 1.0e-300, 1.0e300, 5.0, *p, *q, MatchedTail::smaller, tails, bound);
            break;
    }
}
