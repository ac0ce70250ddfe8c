// Non-central chi-squared distribution function as a Poisson mixture of
// central chi-squared tails, summed outward from the largest weight.
#include "numerics/cdfchn.h"

#include <cmath>

#include "numerics/auxiliary_functions.h"
#include "numerics/cdf_checks.h"
#include "numerics/cdf_search.h"
#include "numerics/cdfchi.h"

namespace {

// Relative size of the last term kept, and the most terms in each direction.
const double term_tolerance = 1.0e-5;
const int most_terms = 1000;

bool small_term(double term, double sum) { return sum < 1.0e-20 || term < term_tolerance * sum; }

}  // namespace

void cumchn(double* x, double* df, double* pnonc, double* cum, double* ccum) {
    if (*x <= 0.0) {
        *cum = 0.0;
        *ccum = 1.0;
        return;
    }
    if (*pnonc <= 1.0e-10) {
        cumchi(x, df, cum, ccum);
        return;
    }
    const double xnonc = *pnonc / 2.0;
    // The Poisson index is kept as a double: a huge pnonc must not
    // overflow an integer.
    double icent = std::trunc(xnonc);
    if (icent == 0.0) {
        icent = 1.0;
    }
    const double chid2 = *x / 2.0;
    // Degrees of freedom of the central term of Poisson index i.
    auto dg = [&](double i) { return *df + 2.0 * i; };

    // Poisson weight and central chi-squared tail of the largest term.
    double t1 = icent + 1.0;
    const double centwt = std::exp(-xnonc + icent * std::log(xnonc) - alngam(&t1));
    double dfcent = dg(icent);
    double pcent;
    double ccent;
    cumchi(x, &dfcent, &pcent, &ccent);
    // The difference of the central tails for df and df + 2:
    // (x/2)^(df/2) exp(-x/2) / Gamma(df/2 + 1).
    double dfd2 = dg(icent) / 2.0;
    double t3 = 1.0 + dfd2;
    const double centaj = std::exp(dfd2 * std::log(chid2) - chid2 - alngam(&t3));
    double sum = centwt * pcent;

    // Backward from the centre toward index 0.
    double sumadj = 0.0;
    double adj = centaj;
    double wt = centwt;
    double i = icent;
    for (int terms = 1; terms <= most_terms; ++terms) {
        dfd2 = dg(i) / 2.0;
        adj = adj * dfd2 / chid2;
        sumadj += adj;
        const double pterm = pcent + sumadj;
        wt *= i / xnonc;
        const double term = wt * pterm;
        sum += term;
        i -= 1.0;
        if (small_term(term, sum) || i == 0.0) {
            break;
        }
    }

    // Forward from the centre.
    sumadj = centaj;
    adj = centaj;
    wt = centwt;
    i = icent;
    for (int terms = 1; terms <= most_terms; ++terms) {
        wt *= xnonc / (i + 1.0);
        const double pterm = pcent - sumadj;
        const double term = wt * pterm;
        sum += term;
        i += 1.0;
        dfd2 = dg(i) / 2.0;
        adj = adj * chid2 / dfd2;
        sumadj += adj;
        if (small_term(term, sum)) {
            break;
        }
    }
    *cum = sum;
    *ccum = 0.5 + (0.5 - *cum);
}

void cdfchn(int* which, double* p, double* q, double* x, double* df, double* pnonc, int* status, double* bound) {
    // The series cannot resolve upper tails below about 1e-16.
    const double largest_p = 1.0 - 1.0e-16;
    if (fails_which(*which, 4, status, bound)) {
        return;
    }
    if (*which != 1 && fails_closed(*p, 0.0, largest_p, -2, status, bound)) {
        return;
    }
    if (*which != 2 && fails_at_least(*x, 0.0, -4, status, bound)) {
        return;
    }
    if (*which != 3 && fails_above(*df, 0.0, -5, status, bound)) {
        return;
    }
    if (*which != 4 && fails_at_least(*pnonc, 0.0, -6, status, bound)) {
        return;
    }
    const TailFunction tails = [&](double* cum, double* ccum) { cumchn(x, df, pnonc, cum, ccum); };
    switch (*which) {
        case 1:
            *status = forward_tails(tails, p, q);
            break;
        case 2:
            *status = search_parameter(x, 0.0, 1.0e300, 5.0, *p, 0.0, MatchedTail::lower, tails, bound);
            break;
        case 3:
            *status = search_parameter(df, 1.0e-300, 1.0e300, 5.0, *p, 0.0, MatchedTail::lower, tails, bound);
            break;
        default:
            *status = search_parameter(pnonc, 0.0, 1.0e4, 5.0, *p, 0.0, MatchedTail::lower, tails, bound);
            break;
    }
}
