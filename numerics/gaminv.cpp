// Inverse of the incomplete gamma ratio: the published routine, whose
// outcome is the error code, then steps of its own to full precision; and
// the factor exp(-x) x^a / Gamma(a) that the steps use as the derivative.
#include "numerics/gaminv.h"

#include <cmath>
#include <limits>

#include "numerics/gaminv_published.h"
#include "numerics/gratio.h"
#include "numerics/ipmpar.h"
#include "numerics/log_helpers.h"
#include "numerics/special_functions.h"

using namespace vorlan2;

namespace {

const int max_iterations = 20;

// A step below this relative size ends the iteration.
const double converged = 1e-14;

// Largest change of ln x in one step.
const double max_log_step = 2.0;

// Steps from x, the published routine's ten-digit solution, to full
// precision: Schroeder (second-order Newton) steps on the smaller tail, kept
// inside the bracket of the root that the signs seen so far give. False
// (x unchanged) when they do not settle within max_iterations or leave the
// range where the incomplete gamma ratio and its density resolve x.
bool refine(double a, double p, double q, double amax, double e, double* x) {
    const bool lower = p <= 0.5;
    int ind = 0;
    double xn = *x;
    double previous = HUGE_VAL;
    double below = 0.0;
    double above = HUGE_VAL;
    for (int iteration = 1; iteration <= max_iterations; ++iteration) {
        if (a > amax && std::fabs(0.5 + (0.5 - xn / a)) <= 2.0 * e) {
            return false;
        }
        double pn = 2.0;
        double qn = 2.0;
        gratio(&a, &xn, &pn, &qn, &ind);
        const double r = rcomp(&a, &xn);
        if (pn > 1.5 || pn == 0.0 || qn == 0.0 || r == 0.0) {
            return false;
        }
        if (lower ? pn < p : qn > q) {
            below = xn;
        } else {
            above = xn;
        }
        const double current = xn;
        const double t = lower ? (pn - p) / r : (q - qn) / r;
        const double w = 0.5 * (a - 1.0 - xn);
        double step;
        if (std::fabs(t) <= 0.1 && std::fabs(w * t) <= 0.1) {
            step = t * (1.0 + w * t);
            xn *= (1.0 - step);
        } else {
            // Far from the root: a Newton step for ln(tail) in ln x, which
            // keeps x positive and stays accurate deep in either tail.
            const double tail = lower ? pn : qn;
            const double target = lower ? p : q;
            const double sign = lower ? 1.0 : -1.0;
            step = sign * std::log(tail / target) * tail / r;
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
            return false;
        }
        const double d = std::fabs(step);
        // Below 1e-8 the steps shrink at least cubically until rounding
        // in the tail stops them; a step that no longer shrinks is that floor.
        // Among the subnormal numbers, a step of a few units is the floor.
        if (d <= converged || (previous <= 1e-8 && d >= 0.5 * previous) ||
            std::fabs(xn - current) <= 4.0 * std::numeric_limits<double>::denorm_min()) {
            *x = xn;
            return true;
        }
        previous = d;
    }
    return false;
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
    int K_smallest = 2;
    int K_largest = 3;
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

    GaminvOutcome published = gaminv_published(*a, *p, *q, *x0);
    *x = published.x;
    *ierr = published.ierr;
    // The published iteration aims at ten digits; steps of its own carry a
    // solution (or a value of uncertain accuracy) to full precision where
    // the tails keep their relative precision. The error code stays.
    if ((published.ierr >= 0 || published.ierr == -8) && std::fmin(*p, *q) >= spmpar(&K_smallest)) {
        refine(*a, *p, *q, gaminv_amax(), e, x);
    }
}
