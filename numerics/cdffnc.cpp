// Non-central F distribution function as a Poisson mixture of incomplete
// beta ratios, summed outward from the largest weight by their recurrences.
#include "numerics/cdffnc.h"

#include <cmath>
#include <limits>

#include "numerics/beta_factors.h"
#include "numerics/bratio.h"
#include "numerics/cdf_checks.h"
#include "numerics/cdf_search.h"
#include "numerics/cdff.h"
#include "numerics/poisson_mixture.h"

using namespace vorlan2;

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
    if (xx == 0.0) {
        // f so small that xx underflows: every ratio is I_0 = 0.
        *cum = 0.0;
        *ccum = 1.0;
        return;
    }
    const double half_dfn = *dfn * 0.5;
    double a = half_dfn + mixture.centre();
    double b = *dfd * 0.5;
    double betcent;
    double dummy;
    int ierr = 0;
    bratio(&a, &b, &xx, &yy, &betcent, &dummy, &ierr);
    if (ierr != 0) {
        return;
    }
    // I_xx(a, b) - I_xx(a + 1, b) = xx^a yy^b / (a B(a, b)).
    const double centterm = brcomp(&a, &b, &xx, &yy) / a;
    *cum = mixture.sum_by_differences(
        betcent, centterm,
        [&](double term, double i) {
            const double above = half_dfn + i + 1.0;
            // Divided by xx last: the product with it may underflow.
            return term * above / (above - 1.0 + b) / xx;
        },
        [&](double term, double i) {
            const double below = half_dfn + i - 1.0;
            return term * xx * (below + b) / (below + 1.0);
        });
    *ccum = 0.5 + (0.5 - *cum);
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
