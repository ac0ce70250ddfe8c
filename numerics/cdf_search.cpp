// Inverse modes of the distribution functions through the bounded root
// search and the zero finder, with the common step rule and tolerances.
#include "numerics/cdf_search.h"

#include <cmath>
#include <limits>

#include "numerics/ipmpar.h"
#include "numerics/root_search.h"

namespace vorlan2 {

namespace {

// Step rule and tolerances of every inverse search (the search routines take
// them by address).
double absstp = 0.5;
double relstp = 0.5;
double stpmul = 5.0;
double abstol = 1.0e-50;
double reltol = 1.0e-8;

// True when a computed tail is a probability (not NaN and not the error
// value 2 of the incomplete gamma ratio).
bool is_tail_value(double v) { return v <= 1.5; }

// Evaluates the tails; false when they are not probabilities.
bool evaluate(const TailFunction& tails, double* cum, double* ccum) {
    *cum = std::numeric_limits<double>::quiet_NaN();
    *ccum = std::numeric_limits<double>::quiet_NaN();
    tails(cum, ccum);
    return is_tail_value(*cum) && is_tail_value(*ccum);
}

}  // namespace

int store_positive(double solved, double* target, double* bound) {
    if (!(solved > 0.0)) {
        *bound = 0.0;
        return 1;
    }
    if (std::isinf(solved)) {
        int largest = 3;
        *bound = spmpar(&largest);
        return 2;
    }
    *target = solved;
    return 0;
}

int forward_tails(const TailFunction& tails, double* p, double* q) {
    double cum;
    double ccum;
    if (!evaluate(tails, &cum, &ccum)) {
        return 10;
    }
    *p = cum;
    *q = ccum;
    return 0;
}

int search_parameter(double* sought, double small, double big, double start, double p, double q, MatchedTail matched,
                     const TailFunction& tails, double* bound) {
    const bool match_lower = matched == MatchedTail::lower || p <= q;
    // A start outside the limits would end the process in dinvr: the upper
    // limit of a binomial count is below the usual start for n < 5, and the
    // t start value overflows (even to NaN) for tiny df.
    *sought = start;
    if (!(*sought >= small)) {
        *sought = small;
    }
    if (*sought > big) {
        *sought = big;
    }
    dstinv(&small, &big, &absstp, &relstp, &stpmul, &abstol, &reltol);
    int status = 0;
    double fx = 0.0;
    int qleft = 0;
    int qhi = 0;
    dinvr(&status, sought, &fx, &qleft, &qhi);
    while (status == 1) {
        double cum;
        double ccum;
        if (!evaluate(tails, &cum, &ccum)) {
            return 10;
        }
        fx = match_lower ? cum - p : ccum - q;
        dinvr(&status, sought, &fx, &qleft, &qhi);
    }
    if (status == -1) {
        if (qleft) {
            *bound = small;
            return 1;
        }
        *bound = big;
        return 2;
    }
    return status == 0 ? 0 : 10;
}

int search_pair(double* first, double* second, double p, double q, const TailFunction& tails, double* bound) {
    const bool match_lower = p <= q;
    double* solved = match_lower ? first : second;
    double* other = match_lower ? second : first;
    double zero = 0.0;
    double one = 1.0;
    dstzr(&zero, &one, &abstol, &reltol);
    int status = 0;
    double fx = 0.0;
    double xlo = 0.0;
    double xhi = 0.0;
    int qleft = 0;
    int qhi = 0;
    dzror(&status, solved, &fx, &xlo, &xhi, &qleft, &qhi);
    *other = 1.0 - *solved;
    while (status == 1) {
        double cum;
        double ccum;
        if (!evaluate(tails, &cum, &ccum)) {
            return 10;
        }
        fx = match_lower ? cum - p : ccum - q;
        dzror(&status, solved, &fx, &xlo, &xhi, &qleft, &qhi);
        *other = 1.0 - *solved;
    }
    if (status == -1) {
        if (qleft) {
            *bound = 0.0;
            return 1;
        }
        *bound = 1.0;
        return 2;
    }
    if (status != 0) {
        return 10;
    }
    // The better end of the final bracket, as the bounded search returns.
    *solved = xlo;
    *other = 1.0 - *solved;
    return 0;
}

}  // namespace vorlan2
