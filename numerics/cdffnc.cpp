// Non-central F distribution function as a Poisson mixture of incomplete
// beta ratios, summed outward from the largest weight by their recurrences.
#include "numerics/cdffnc.h"

#include <cfloat>
#include <cmath>
#include <limits>

#include "numerics/beta_factors.h"
#include "numerics/bratio.h"
#include "numerics/cdf_checks.h"
#include "numerics/cdf_search.h"
#include "numerics/cdfchn.h"
#include "numerics/cdff.h"
#include "numerics/poisson_mixture.h"
#include "numerics/ratios_at_log.h"

using namespace vorlan2;

namespace {

// From this dfd/2 on, the beta variable below the normal doubles makes dfn F
// the non-central chi-squared variable to within far below a double's rounding.
const double chi_squared_limit = 0x1p940;

// The tails when dfn f or the smaller beta variable under- or overflows, or
// lies below the normal doubles (as in cumf), with the variables in
// logarithms.
void tails_from_logarithms(double f, double dfn, double dfd, double pnonc, PoissonMixture& mixture, double* cum,
                           double* ccum) {
    const FVariableLogarithms logs = f_variable_logarithms(f, dfn, dfd);
    const double a = dfn * 0.5;
    const double b = dfd * 0.5;
    const double xnonc = pnonc * 0.5;
    if (logs.upper <= logs.lower) {
        // The upper variable dfd / (dfd + dfn f) is the tiny one: each term's
        // tails I_xx(dfd/2, dfn/2 + i) (rising with i) and its complement,
        // taken afresh, and summed each on its own, so that the smaller sum
        // keeps its digits.
        bool failed = false;
        const auto tail_at = [&](double i, bool upper) {
            double w = std::numeric_limits<double>::quiet_NaN();
            double w1 = w;
            failed = failed || bratio_at_log(b, a + i, logs.upper, &w, &w1) != 0;
            return upper ? w : w1;
        };
        const double upper = mixture.sum_afresh(false, [&](double i) { return tail_at(i, true); });
        const double lower = mixture.sum_afresh(true, [&](double i) { return tail_at(i, false); });
        if (failed) {
            return;
        }
        if (lower <= upper) {
            *cum = lower;
            *ccum = 0.5 + (0.5 - lower);
        } else {
            *ccum = upper;
            *cum = 0.5 + (0.5 - upper);
        }
        clamp_to_probabilities(cum, ccum);
        return;
    }
    // The lower variable yy = dfn f / (dfd + dfn f) is the tiny one.
    if (b >= chi_squared_limit) {
        double chi = std::exp(std::log(dfd) + logs.lower);
        if (chi >= DBL_MIN) {
            cumchn(&chi, &dfn, &pnonc, cum, ccum);
            return;
        }
    }
    // Each term's lower tail falls from I_yy(dfn/2, dfd/2) by a factor of
    // about yy dfd/2 < 2^-82 (or the chi-squared variable is itself below the
    // normal doubles): the first term is the sum.
    double w;
    double w1;
    int ierr = 0;
    if (b >= chi_squared_limit) {
        gratio_at_log(a, std::log(dfd) + logs.lower - std::log(2.0), &w, &w1);
        ierr = w == 2.0 ? 8 : 0;
    } else {
        ierr = bratio_at_log(a, b, logs.lower, &w, &w1);
    }
    if (ierr != 0) {
        return;
    }
    const double first_weight = std::exp(-xnonc);
    *cum = first_weight * w;
    *ccum = first_weight * w1 - std::expm1(-xnonc);
    clamp_to_probabilities(cum, ccum);
}

}  // namespace

void cumfnc(double* f, double* dfn, double* dfd, double* pnonc, double* cum, double* ccum) {
    if (*f <= 0.0) {
        *cum = 0.0;
        *ccum = 1.0;
        return;
    }
    if (*pnonc < 1.0e-10) {
        cumf(f, dfn, dfd, cum, ccum);
        return;
    }
    *cum = std::numeric_limits<double>::quiet_NaN();
    *ccum = std::numeric_limits<double>::quiet_NaN();
    const double xnonc = *pnonc / 2.0;
    if (!has_whole_indices(xnonc)) {
        return;
    }
    PoissonMixture mixture(xnonc);

    // The beta variable xx = dfn f / (dfd + dfn f), the smaller of xx and
    // yy = 1 - xx formed directly.
    const double prod = *dfn * *f;
    const double dsum = *dfd + prod;
    double yy = *dfd / dsum;
    double xx;
    if (yy > 0.5) {
        xx = prod / dsum;
        yy = 1.0 - xx;
    } else {
        xx = 1.0 - yy;
    }
    if (!f_variables_are_exact(*f, *dfn, *dfd, prod, dsum, std::fmin(xx, yy))) {
        tails_from_logarithms(*f, *dfn, *dfd, *pnonc, mixture, cum, ccum);
        return;
    }
    const double half_dfn = *dfn * 0.5;
    double b = *dfd * 0.5;
    bool failed = false;
    // The central tails I_xx(dfn/2 + i, dfd/2) and their falls
    // I_xx(a, b) - I_xx(a + 1, b) = xx^a yy^b / (a B(a, b)).
    const auto central = [&](double i, double* lower, double* upper) {
        double a = half_dfn + i;
        int ierr = 0;
        bratio(&a, &b, &xx, &yy, lower, upper, &ierr);
        failed = failed || ierr != 0;
    };
    const auto fall = [&](double i) {
        double a = half_dfn + i;
        return brcomp(&a, &b, &xx, &yy) / a;
    };
    // d(i) / d(i + 1) = (a + i + 1) / ((a + i + b) xx), a = dfn/2; the sums
    // are formed from a + i so that a tiny a keeps its digits.
    const auto below = [&](double term, double i) {
        // Divided by xx last: the product with it may underflow.
        return term * (half_dfn + (i + 1.0)) / ((half_dfn + i) + b) / xx;
    };
    const auto above = [&](double term, double i) { return term * xx * ((half_dfn + (i - 1.0)) + b) / (half_dfn + i); };
    mixture_tails(mixture, central, fall, below, above, cum, ccum);
    if (failed) {
        *cum = std::numeric_limits<double>::quiet_NaN();
        *ccum = std::numeric_limits<double>::quiet_NaN();
    }
}

void cdffnc(int* which, double* p, double* q, double* f, double* dfn, double* dfd, double* phonc, int* status,
            double* bound) {
    // The series cannot resolve upper tails below about 1e-16.
    const double largest_p = 1.0 - 1.0e-16;
    if (fails_which(*which, 5, status, bound)) {
        return;
    }
    if (*which != 1 && fails_closed(*p, 0.0, largest_p, -2, status, bound)) {
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
    if (*which != 5 && fails_at_least(*phonc, 0.0, -7, status, bound)) {
        return;
    }
    const TailFunction tails = [&](double* cum, double* ccum) { cumfnc(f, dfn, dfd, phonc, cum, ccum); };
    double* sought = nullptr;
    double small = 1.0e-300;
    double big = 1.0e300;
    switch (*which) {
        case 1:
            *status = forward_tails(tails, p, q);
            return;
        case 2:
            sought = f;
            small = 0.0;
            break;
        case 3:
            sought = dfn;
            break;
        case 4:
            sought = dfd;
            break;
        default:
            sought = phonc;
            small = 0.0;
            big = 1.0e4;
            break;
    }
    *status = search_parameter(sought, small, big, 5.0, *p, 0.0, MatchedTail::lower, tails, bound);
}
