// Chi-squared distribution function: the forward value through the
// incomplete gamma ratio, the statistic and the degrees of freedom through
// the bounded root search.
#include "numerics/cdfchi.h"

#include <cmath>

#include "numerics/gratio.h"
#include "numerics/ipmpar.h"
#include "numerics/root_search.h"

namespace {

// Constants of the inverse searches.
const double tol = 1.0e-8;
const double atol = 1.0e-50;
const double start = 5.0;
const double inf = 1.0e300;
const double df_small = 1.0e-300;

// Working values kept between calls.
double porq;
bool qporq;
double pq;
double fx;
double cum, ccum;
int qleft, qhi;
double small, big, absstp, relstp, stpmul, abstol, reltol;

// The error value of the incomplete gamma ratio in place of a probability.
bool forward_failed(double value) { return !(value <= 1.5); }

// Status of the argument checks, 0 when they all pass.
int check_arguments(int which, double p, double q, double x, double df, double* bound) {
    int K_epsilon = 1;
    if (which < 1 || which > 3) {
        *bound = which < 1 ? 1.0 : 3.0;
        return -1;
    }
    if (which != 1) {
        if (p < 0.0 || p > 1.0) {
            *bound = p < 0.0 ? 0.0 : 1.0;
            return -2;
        }
        if (q <= 0.0 || q > 1.0) {
            *bound = q <= 0.0 ? 0.0 : 1.0;
            return -3;
        }
    }
    if (which != 2 && x < 0.0) {
        *bound = 0.0;
        return -4;
    }
    if (which != 3 && df <= 0.0) {
        *bound = 0.0;
        return -5;
    }
    if (which != 1) {
        pq = p + q;
        // Written so that a NaN p or q fails it.
        if (!(std::fabs(pq - 0.5 - 0.5) <= 3.0 * spmpar(&K_epsilon))) {
            *bound = 1.0;
            return 3;
        }
    }
    return 0;
}

// Runs the search for *sought (x or df) from the start value; returns the status.
int invert(double* p, double* q, double* x, double* df, double* sought, double lower, double* bound) {
    porq = std::fmin(*p, *q);
    qporq = *p <= *q;
    *sought = start;
    small = lower;
    big = inf;
    absstp = 0.5;
    relstp = 0.5;
    stpmul = 5.0;
    abstol = atol;
    reltol = tol;
    dstinv(&small, &big, &absstp, &relstp, &stpmul, &abstol, &reltol);
    int status = 0;
    dinvr(&status, sought, &fx, &qleft, &qhi);
    while (status == 1) {
        cumchi(x, df, &cum, &ccum);
        fx = qporq ? cum - *p : ccum - *q;
        // Checked on cum itself so that the error is caught in either tail,
        // and so that a NaN x or df ends the search.
        if (forward_failed(cum) || std::isnan(fx)) {
            return 10;
        }
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
    return 0;
}

}  // namespace

void cumchi(double* x, double* df, double* cum, double* ccum) {
    int K_accuracy = 0;
    double a = *df * 0.5;
    double xx = *x * 0.5;
    if (xx <= 0.0) {
        *cum = 0.0;
        *ccum = 1.0;
        return;
    }
    gratio(&a, &xx, cum, ccum, &K_accuracy);
}

void cdfchi(int* which, double* p, double* q, double* x, double* df, int* status, double* bound) {
    *status = check_arguments(*which, *p, *q, *x, *df, bound);
    if (*status != 0) {
        return;
    }
    if (*which == 1) {
        // The outputs are written only when the forward value is a probability.
        double lower;
        double upper;
        cumchi(x, df, &lower, &upper);
        if (forward_failed(lower)) {
            *status = 10;
            return;
        }
        *p = lower;
        *q = upper;
        return;
    }
    if (*which == 2) {
        *status = invert(p, q, x, df, x, 0.0, bound);
    } else {
        *status = invert(p, q, x, df, df, df_small, bound);
    }
}
