// Student's t distribution function through the incomplete beta ratio,
// with the root search for t (from its Cornish-Fisher start) and df.
#include "numerics/cdft.h"

#include <cmath>
#include <limits>

#include "numerics/cdf_checks.h"
#include "numerics/cdf_search.h"
#include "numerics/cdfbet.h"
#include "numerics/log_beta.h"
#include "numerics/normal_quantile.h"

using namespace vorlan2;

namespace {

// I_xx(df/2, 1/2) for xx = df / (df + t^2) below the smallest normal double
// (t^2 may overflow): the leading term xx^(df/2) / ((df/2) B(df/2, 1/2)) of
// the power series, whose next terms are smaller by a factor of about xx.
// Where t^2 overflows and df is so large that xx is not small, xx^(df/2)
// underflows all the same.
double far_tail(double t, double df) {
    double a_shape = 0.5 * df;
    double half = 0.5;
    const double abs_t = std::fabs(t);
    const double log_xx = std::log(df) - 2.0 * std::log(abs_t) - std::log1p(df / abs_t / abs_t);
    return std::exp(a_shape * log_xx - std::log(a_shape) - betaln(&a_shape, &half));
}

}  // namespace

void cumt(double* t, double* df, double* cum, double* ccum) {
    // P(abs(T) > abs(t)) = I_xx(df/2, 1/2) with xx = df / (df + t^2).
    const double tt = *t * *t;
    const double dfptt = *df + tt;
    double xx = *df / dfptt;
    double a;
    double oma;
    if (xx < std::numeric_limits<double>::min()) {
        a = far_tail(*t, *df);
        oma = 0.5 - a + 0.5;
    } else {
        double yy = tt / dfptt;
        double a_shape = 0.5 * *df;
        double half = 0.5;
        cumbet(&xx, &yy, &a_shape, &half, &a, &oma);
    }
    if (*t <= 0.0) {
        *cum = 0.5 * a;
        *ccum = oma + *cum;
    } else {
        *ccum = 0.5 * a;
        *cum = oma + *ccum;
    }
}

void cdft(int* which, double* p, double* q, double* t, double* df, int* status, double* bound) {
    if (fails_which(*which, 3, status, bound)) {
        return;
    }
    if (*which != 1 &&
        (fails_open_below(*p, 0.0, 1.0, -2, status, bound) || fails_open_below(*q, 0.0, 1.0, -3, status, bound))) {
        return;
    }
    if (*which != 3 && fails_above(*df, 0.0, -5, status, bound)) {
        return;
    }
    if (*which != 1 && fails_sum_to_one(*p, *q, 3, status, bound)) {
        return;
    }
    const TailFunction tails = [&](double* cum, double* ccum) { cumt(t, df, cum, ccum); };
    switch (*which) {
        case 1:
            *status = forward_tails(tails, p, q);
            break;
        case 2:
            *status = search_parameter(t, -1.0e300, 1.0e300, dt1(p, q, df), *p, *q, MatchedTail::smaller, tails, bound);
            break;
        default:
            *status = search_parameter(df, 1.0e-300, 1.0e10, 5.0, *p, *q, MatchedTail::smaller, tails, bound);
            break;
    }
}
