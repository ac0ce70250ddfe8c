// Chi-squared distribution function: the forward value through the
// incomplete gamma ratio, the statistic and the degrees of freedom through
// the bounded root search.
#include "numerics/cdfchi.h"

#include <cfloat>
#include <cmath>

#include "numerics/cdf_checks.h"
#include "numerics/cdf_search.h"
#include "numerics/gratio.h"
#include "numerics/ratios_at_log.h"

using namespace vorlan2;

namespace {

// Start value and limits of the inverse searches.
const double start = 5.0;
const double x_small = 0.0;
const double df_small = 1.0e-300;
const double big = 1.0e300;

}  // namespace

void cumchi(double* x, double* df, double* cum, double* ccum) {
    int accuracy = 0;
    double a = *df * 0.5;
    double xx = *x * 0.5;
    if (*x > 0.0 && xx < DBL_MIN) {
        // Halving x below the normal doubles would round away its last digits.
        gratio_at_log(a, std::log(*x) - std::log(2.0), cum, ccum);
        return;
    }
    if (xx <= 0.0) {
        *cum = 0.0;
        *ccum = 1.0;
        return;
    }
    gratio(&a, &xx, cum, ccum, &accuracy);
}

void cdfchi(int* which, double* p, double* q, double* x, double* df, int* status, double* bound) {
    if (fails_which(*which, 3, status, bound)) {
        return;
    }
    if (*which != 1 &&
        (fails_closed(*p, 0.0, 1.0, -2, status, bound) || fails_open_below(*q, 0.0, 1.0, -3, status, bound))) {
        return;
    }
    if (*which != 2 && fails_at_least(*x, 0.0, -4, status, bound)) {
        return;
    }
    if (*which != 3 && fails_above(*df, 0.0, -5, status, bound)) {
        return;
    }
    if (*which != 1 && fails_sum_to_one(*p, *q, 3, status, bound)) {
        return;
    }
    const TailFunction tails = [&](double* cum, double* ccum) { cumchi(x, df, cum, ccum); };
    if (*which == 1) {
        // Status 10 instead of the error value 2 of the incomplete gamma
        // ratio; p and q are then left as they were.
        *status = forward_tails(tails, p, q);
        return;
    }
    if (*which == 2) {
        *status = search_parameter(x, x_small, big, start, *p, *q, MatchedTail::smaller, tails, bound);
        return;
    }
    *status = search_parameter(df, df_small, big, start, *p, *q, MatchedTail::smaller, tails, bound);
}
