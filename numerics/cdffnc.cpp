// Non-central F distribution function as a Poisson mixture of incomplete
// beta ratios, summed outward from the largest weight by their recurrences.
#include "numerics/cdffnc.h"

#include <cmath>
#include <limits>

#include "numerics/auxiliary_functions.h"
#include "numerics/bratio.h"
#include "numerics/cdf_checks.h"
#include "numerics/cdf_search.h"
#include "numerics/cdff.h"

namespace {

// Relative size of the last term kept, and the most terms in each direction.
const double term_tolerance = 1.0e-4;
const int most_terms = 1000;

bool small_term(double term, double sum) { return sum < 1.0e-20 || term < term_tolerance * sum; }

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
    const double xnonc = *pnonc / 2.0;
    // The Poisson index is kept as a double: a huge pnonc must not
    // overflow an integer.
    double icent = std::trunc(xnonc);
    if (icent == 0.0) {
        icent = 1.0;
    }
    double t1 = icent + 1.0;
    const double centwt = std::exp(-xnonc + icent * std::log(xnonc) - alngam(&t1));

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
    double adn = *dfn * 0.5 + icent;
    double b = *dfd * 0.5;
    double betdn;
    double dummy;
    int ierr = 0;
    bratio(&adn, &b, &xx, &yy, &betdn, &dummy, &ierr);
    if (ierr != 0) {
        *cum = std::numeric_limits<double>::quiet_NaN();
        *ccum = std::numeric_limits<double>::quiet_NaN();
        return;
    }
    double aup = adn;
    double betup = betdn;
    double sum = centwt * betdn;

    // Backward: I_xx(a - 1, b) = I_xx(a, b) + dnterm, with dnterm updated by
    // its ratio from one index to the next.
    double xmult = centwt;
    double i = icent;
    double t4 = adn + b;
    double t5 = adn + 1.0;
    double dnterm = std::exp(alngam(&t4) - alngam(&t5) - alngam(&b) + adn * std::log(xx) + b * std::log(yy));
    for (int terms = 0; terms < most_terms && !(small_term(xmult * betdn, sum) || i <= 0.0); ++terms) {
        xmult *= i / xnonc;
        i -= 1.0;
        adn -= 1.0;
        dnterm = (adn + 1.0) / ((adn + b) * xx) * dnterm;
        betdn += dnterm;
        sum += xmult * betdn;
    }

    // Forward: I_xx(a + 1, b) = I_xx(a, b) - upterm.
    i = icent + 1.0;
    xmult = centwt;
    double upterm;
    if (aup - 1.0 + b == 0.0) {
        upterm = std::exp(-alngam(&aup) - alngam(&b) + (aup - 1.0) * std::log(xx) + b * std::log(yy));
    } else {
        double t6 = aup - 1.0 + b;
        upterm = std::exp(alngam(&t6) - alngam(&aup) - alngam(&b) + (aup - 1.0) * std::log(xx) + b * std::log(yy));
    }
    for (int terms = 1; terms <= most_terms; ++terms) {
        xmult *= xnonc / i;
        i += 1.0;
        aup += 1.0;
        upterm = (aup + b - 2.0) * xx / (aup - 1.0) * upterm;
        betup -= upterm;
        sum += xmult * betup;
        if (small_term(xmult * betup, sum)) {
            break;
        }
    }
    *cum = sum;
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
