// Gamma distribution function: forward through the incomplete gamma ratio,
// x and the scale through its inverse, the shape through the root search.
#include "numerics/cdfgam.h"

#include <cfloat>
#include <cmath>

#include "numerics/cdf_checks.h"
#include "numerics/cdf_search.h"
#include "numerics/gaminv.h"
#include "numerics/gratio.h"
#include "numerics/ratios_at_log.h"

using namespace vorlan2;

void cumgam(double* x, double* a, double* cum, double* ccum) {
    if (*x <= 0.0) {
        *cum = 0.0;
        *ccum = 1.0;
        return;
    }
    int accuracy = 0;
    gratio(a, x, cum, ccum, &accuracy);
}

namespace {

// x * scale solving P(shape, x * scale) = p through the inverse incomplete
// gamma ratio; false when the inverse fails.
bool scaled_quantile(double* shape, double* p, double* q, double* xx) {
    double no_guess = -1.0;
    int ierr = 0;
    gaminv(shape, xx, &no_guess, p, q, &ierr);
    return ierr >= 0;
}

}  // namespace

void cdfgam(int* which, double* p, double* q, double* x, double* shape, double* scale, int* status, double* bound) {
    if (fails_which(*which, 4, status, bound)) {
        return;
    }
    if (*which != 1 &&
        (fails_closed(*p, 0.0, 1.0, -2, status, bound) || fails_open_below(*q, 0.0, 1.0, -3, status, bound))) {
        return;
    }
    if (*which != 2 && fails_at_least(*x, 0.0, -4, status, bound)) {
        return;
    }
    if (*which != 3 && fails_above(*shape, 0.0, -5, status, bound)) {
        return;
    }
    if (*which != 4 && fails_above(*scale, 0.0, -6, status, bound)) {
        return;
    }
    if (*which != 1 && fails_sum_to_one(*p, *q, 3, status, bound)) {
        return;
    }
    *status = 0;
    const TailFunction tails = [&](double* cum, double* ccum) {
        double xscale = *x * *scale;
        if (*x > 0.0 && xscale < DBL_MIN) {
            // The product below the normal doubles is kept in its logarithm.
            gratio_at_log(*shape, std::log(*x) + std::log(*scale), cum, ccum);
            return;
        }
        cumgam(&xscale, shape, cum, ccum);
    };
    if (*which == 1) {
        *status = forward_tails(tails, p, q);
        return;
    }
    if (*which == 2) {
        double xx = 0.0;
        if (!scaled_quantile(shape, p, q, &xx)) {
            *status = 10;
            return;
        }
        // A quantile beyond the doubles is reported as such, not as 0 or infinity.
        if (xx == 0.0) {
            *x = 0.0;
            return;
        }
        *status = store_positive(xx / *scale, x, bound);
        return;
    }
    if (*which == 3) {
        *status = search_parameter(shape, 1.0e-300, 1.0e300, 5.0, *p, *q, MatchedTail::smaller, tails, bound);
        return;
    }
    double xx = 0.0;
    if (!scaled_quantile(shape, p, q, &xx)) {
        *status = 10;
        return;
    }
    *status = store_positive(xx / *x, scale, bound);
}
