// F distribution function through the incomplete beta ratio, with the root
// search for f and the degrees of freedom.
#include "numerics/cdff.h"

#include <cfloat>
#include <cmath>
#include <limits>

#include "numerics/cdf_checks.h"
#include "numerics/cdf_search.h"
#include "numerics/cdfbet.h"
#include "numerics/ratios_at_log.h"

using namespace vorlan2;

namespace vorlan2 {

FVariableLogarithms f_variable_logarithms(double f, double dfn, double dfd) {
    const double log_prod = std::log(dfn) + std::log(f);
    const double log_dfd = std::log(dfd);
    const double log_sum = std::fmax(log_prod, log_dfd) + std::log1p(std::exp(-std::fabs(log_prod - log_dfd)));
    return {log_prod - log_sum, log_dfd - log_sum};
}

bool f_variables_are_exact(double f, double dfn, double dfd, double prod, double dsum, double smaller) {
    const bool finite = std::isfinite(f) && std::isfinite(dfn) && std::isfinite(dfd);
    return !finite || (prod >= DBL_MIN && dsum <= DBL_MAX && smaller >= DBL_MIN);
}

}  // namespace vorlan2

namespace {

// The tails when the beta variables formed directly would lose their digits:
// the smaller one handed to the incomplete beta ratio as its logarithm.
void tails_from_logarithms(double f, double dfn, double dfd, double* cum, double* ccum) {
    const FVariableLogarithms logs = f_variable_logarithms(f, dfn, dfd);
    int ierr;
    if (logs.lower < logs.upper) {
        // P(F <= f) = I_yy(dfn/2, dfd/2), yy = dfn f / (dfd + dfn f).
        ierr = bratio_at_log(dfn * 0.5, dfd * 0.5, logs.lower, cum, ccum);
    } else {
        ierr = bratio_at_log(dfd * 0.5, dfn * 0.5, logs.upper, ccum, cum);
    }
    if (ierr != 0) {
        *cum = std::numeric_limits<double>::quiet_NaN();
        *ccum = std::numeric_limits<double>::quiet_NaN();
    }
}

}  // namespace

void cumf(double* f, double* dfn, double* dfd, double* cum, double* ccum) {
    if (*f <= 0.0) {
        *cum = 0.0;
        *ccum = 1.0;
        return;
    }
    // P(F > f) = I_xx(dfd/2, dfn/2) with xx = dfd / (dfd + dfn f); the
    // smaller of xx and 1 - xx is formed directly to keep its precision.
    const double prod = *dfn * *f;
    const double dsum = *dfd + prod;
    double xx = *dfd / dsum;
    double yy;
    if (xx > 0.5) {
        yy = prod / dsum;
        xx = 1.0 - yy;
    } else {
        yy = 1.0 - xx;
    }
    if (!f_variables_are_exact(*f, *dfn, *dfd, prod, dsum, std::fmin(xx, yy))) {
        tails_from_logarithms(*f, *dfn, *dfd, cum, ccum);
        return;
    }
    double a = *dfd * 0.5;
    double b = *dfn * 0.5;
    cumbet(&xx, &yy, &a, &b, ccum, cum);
}

void cdff(int* which, double* p, double* q, double* f, double* dfn, double* dfd, int* status, double* bound) {
    if (fails_which(*which, 4, status, bound)) {
        return;
    }
    if (*which != 1 &&
        (fails_closed(*p, 0.0, 1.0, -2, status, bound) || fails_open_below(*q, 0.0, 1.0, -3, status, bound))) {
        return;
    }
    if (*which != 2 && fails_at_least(*f, 0.0, -4, status, bound)) {
        return;
    }
    if (*which != 3 && fails_above(*dfn, 0.0, -5, status, bound)) {
        return;
    }
    if (*which != 4 && fails_above(*dfd, 0.0, -6, status, bound)) {
        return;
    }
    if (*which != 1 && fails_sum_to_one(*p, *q, 3, status, bound)) {
        return;
    }
    const TailFunction tails = [&](double* cum, double* ccum) { cumf(f, dfn, dfd, cum, ccum); };
    switch (*which) {
        case 1:
            *status = forward_tails(tails, p, q);
            break;
        case 2:
            *status = search_parameter(f, 0.0, 1.0e300, 5.0, *p, *q, MatchedTail::smaller, tails, bound);
            break;
        case 3:
            *status = search_parameter(dfn, 1.0e-300, 1.0e300, 5.0, *p, *q, MatchedTail::smaller, tails, bound);
            break;
        default:
            *status = search_parameter(dfd, 1.0e-300, 1.0e300, 5.0, *p, *q, MatchedTail::smaller, tails, bound);
            break;
    }
}
