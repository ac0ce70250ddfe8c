// Inverse of the incomplete gamma ratio: a start value chosen among three
// approximations, then Schroeder (second-order Newton) steps on gratio; and
// the factor exp(-x) x^a / Gamma(a) that the steps use as the derivative.
#include "numerics/gaminv.h"

#include <cmath>
#include <limits>

#include "numerics/auxiliary_functions.h"
#include "numerics/gratio.h"
#include "numerics/ipmpar.h"
#include "numerics/log_helpers.h"
#include "numerics/normal_quantile.h"
#include "numerics/special_functions.h"

namespace {

const int max_iterations = 20;

// A step below this relative size ends the iteration.
const double converged = 1e-14;

// Largest change of ln x in one step.
const double max_log_step = 2.0;

// Distance of the tail at x from the target tail, on a log scale.
double log_miss(double a, double x, double p, double q, bool lower) {
    int ind = 0;
    double pn = 2.0;
    double qn = 2.0;
    gratio(&a, &x, &pn, &qn, &ind);
    if (pn > 1.5) {
        return HUGE_VAL;
    }
    double got = lower ? pn : qn;
    double want = lower ? p : q;
    if (got <= 0.0) {
        return HUGE_VAL;
    }
    return std::fabs(std::log(got / want));
}

// Start value: the leading terms of the small-x series for P and of the
// large-x series for Q, and the Wilson-Hilferty approximation, are
// each tried, and the one whose tail lies nearest the target is kept. 0 when
// none of them is a positive number (the solution underflows).
double start_value(double a, double p, double q, bool lower) {
    double candidates[3];
    double ap1 = a + 1.0;
    double lower_constant = std::log(p) + alngam(&ap1);
    // P is about x^a e^-x / Gamma(a + 1) * (a + 1) / (a + 1 - x) for x < a + 1.
    double xs = std::exp(lower_constant / a);
    for (int i = 0; i < 4 && xs < ap1; ++i) {
        xs = std::exp((lower_constant + xs - std::log(ap1 / (ap1 - xs))) / a);
    }
    candidates[0] = xs;

    double aa = a;
    double y = -std::log(q) - alngam(&aa);
    double xu = std::fmax(1.0, y);
    for (int i = 0; i < 4 && xu > 0.0; ++i) {
        xu = y + (a - 1.0) * std::log(xu);
    }
    candidates[1] = xu;

    double pp = p;
    double qq = q;
    double s = lower ? stvaln(&pp) : -stvaln(&qq);
    double c = 1.0 / (9.0 * a);
    double cube = 1.0 - c + s * std::sqrt(c);
    candidates[2] = a * cube * cube * cube;

    double best = 0.0;
    double best_miss = HUGE_VAL;
    for (double candidate : candidates) {
        if (!(candidate > 0.0) || std::isinf(candidate)) {
            continue;
        }
        double miss = log_miss(a, candidate, p, q, lower);
        if (best == 0.0 || miss < best_miss) {
            best = candidate;
            best_miss = miss;
        }
    }
    return best;
}

}  // namespace

double rcomp(double* a, double* x) {
    static const double rt2pin = 0.398942280401433;
    if (*a < 20.0) {
        double t = *a * std::log(*x) - *x;
        if (*a < 1.0) {
            return *a * std::exp(t) * (1.0 + gam1(a));
        }
        return std::exp(t) / Xgamm(a);
    }
    double u = *x / *a;
    if (u == 0.0) {
        return 0.0;
    }
    double t = std::pow(1.0 / *a, 2.0);
    double t1 = (((0.75 * t - 1.0) * t + 3.5) * t - 105.0) / (*a * 1260.0);
    t1 -= *a * rlog(&u);
    return rt2pin * std::sqrt(*a) * std::exp(t1);
}

void gaminv(double* a, double* x, double* x0, double* p, double* q, int* ierr) {
    int K_epsilon = 1;
    int K_largest = 3;
    int ind = 0;
    double e = spmpar(&K_epsilon);

    *x = 0.0;
    // Written so that NaN arguments are refused.
    if (!(*a > 0.0)) {
        *ierr = -2;
        return;
    }
    if (!(std::fabs(*p + *q - 1.0) <= e) || !(*p >= 0.0) || !(*q >= 0.0)) {
        *ierr = -4;
        return;
    }
    *ierr = 0;
    if (*p == 0.0) {
        return;
    }
    if (*q == 0.0) {
        *x = spmpar(&K_largest);
        return;
    }
    if (*a == 1.0) {
        if (*q >= 0.9) {
            double minus_p = -*p;
            *x = -alnrel(&minus_p);
        } else {
            *x = -std::log(*q);
        }
        return;
    }

    // Beyond amax the incomplete gamma ratio cannot resolve x/a near 1.
    double amax = 0.4e-10 / (e * e);
    // Iterating on the smaller tail keeps its relative accuracy.
    bool lower = *p <= 0.5;
    double xn = *x0 > 0.0 ? *x0 : start_value(*a, *p, *q, lower);
    if (xn == 0.0) {
        *ierr = -3;
        return;
    }
    double previous = HUGE_VAL;
    // Bracket of the root from the signs seen so far.
    double below = 0.0;
    double above = HUGE_VAL;
    for (int iteration = 1; iteration <= max_iterations; ++iteration) {
        if (*a > amax && std::fabs(0.5 + (0.5 - xn / *a)) <= 2.0 * e) {
            *x = xn;
            *ierr = -8;
            return;
        }
        double pn = 2.0;
        double qn = 2.0;
        gratio(a, &xn, &pn, &qn, &ind);
        double r = rcomp(a, &xn);
        if (pn > 1.5) {
            *x = xn;
            *ierr = -8;
            return;
        }
        if (lower ? pn < *p : qn > *q) {
            below = xn;
        } else {
            above = xn;
        }
        double current = xn;
        double t = lower ? (pn - *p) / r : (*q - qn) / r;
        double w = 0.5 * (*a - 1.0 - xn);
        double step;
        if (r == 0.0) {
            // No derivative this far out: only the bracket can move x.
            step = HUGE_VAL;
            xn = std::numeric_limits<double>::quiet_NaN();
        } else if (std::fabs(t) <= 0.1 && std::fabs(w * t) <= 0.1) {
            step = t * (1.0 + w * t);
            xn *= (1.0 - step);
        } else {
            // Far from the root: a Newton step for ln(tail) in ln x, which
            // keeps x positive and stays accurate deep in either tail.
            double tail = lower ? pn : qn;
            double target = lower ? *p : *q;
            double sign = lower ? 1.0 : -1.0;
            if (tail > 0.0) {
                step = sign * std::log(tail / target) * tail / r;
            } else {
                step = -sign * max_log_step;
            }
            step = std::fmax(-max_log_step, std::fmin(max_log_step, step));
            xn *= std::exp(-step);
        }
        if (!(below <= xn && xn <= above)) {
            // The step left the bracket: halve it on a log scale instead.
            if (below > 0.0 && above < HUGE_VAL) {
                xn = std::sqrt(below) * std::sqrt(above);
            } else if (below > 0.0) {
                xn = below * std::exp(max_log_step);
            } else {
                xn = above * std::exp(-max_log_step);
            }
            step = std::log(xn / current);
        }
        if (!(xn > 0.0) || std::isinf(xn)) {
            *ierr = -7;
            return;
        }
        double d = std::fabs(step);
        // Below 1e-8 the steps shrink at least cubically until rounding
        // in the tail stops them; a step that no longer shrinks is that floor.
        if (d <= converged || (previous <= 1e-8 && d >= 0.5 * previous)) {
            *x = xn;
            *ierr = iteration;
            return;
        }
        previous = d;
    }
    *x = xn;
    *ierr = -6;
}
