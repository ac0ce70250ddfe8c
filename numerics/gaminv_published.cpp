// The published inverse incomplete gamma ratio. Initial approximations by
// region: for a < 1 from the small-x series of P or the large-x expansion of
// Q; for a > 1 from the Cornish-Fisher expansion, refined by the small-x
// series of P or the large-x expansion of Q. Then Schroeder steps on the
// tail that the region chose.
#include "numerics/gaminv_published.h"

#include <cmath>

#include "numerics/gaminv.h"
#include "numerics/gratio.h"
#include "numerics/ipmpar.h"
#include "numerics/log_beta.h"
#include "numerics/log_helpers.h"
#include "numerics/special_functions.h"

namespace vorlan2 {

namespace {

// What the routine does after choosing its approximation.
enum class GaminvStart {
    iterate_lower,  // Schroeder steps matching p
    iterate_upper,  // Schroeder steps matching q
    accepted,       // x is taken as the solution (error code 0)
    underflow,      // no solution: it lies below the smallest double (-3)
};

struct GaminvApproximation {
    double x;
    GaminvStart next;
};

// Constants of the published routine for a machine precision below 1e-10.
const double euler = 0.577215664901533;
const double ln10 = 2.302585;
const double amin = 500.0;  // from this shape on, the expansion is taken as it is
const double dmin = 1e-6;   // ... when it puts x/a within this of 1
const double bmin = 1e-28;  // for a < 1 the large-x expansion is taken below this b
const double emin = 2e-3;   // the small-x series is taken below this times a + 1
const double tol = 1e-5;    // steps below this end once the tail matches to it
const double eps0 = 1e-10;  // steps below this end the iteration
const int max_iterations = 20;

// Asymptotic inversion of Q for large y = -ln(q Gamma(a)) (or its analogue
// for a < 1), with s = 1 - a and z = ln y.
double large_x_expansion(double a, double y, double s, double z) {
    const double c1 = -(s * z);
    const double c2 = -(s * (1.0 + c1));
    const double c3 = s * ((0.5 * c1 + (2.0 - a)) * c1 + (2.5 - 1.5 * a));
    const double c4 = -(
        s * (((c1 / 3.0 + (2.5 - 1.5 * a)) * c1 + ((a - 6.0) * a + 7.0)) * c1 + ((11.0 * a - 46.0) * a + 47.0) / 6.0));
    const double c5 = -(s * ((((-(c1 / 4.0) + (11.0 * a - 17.0) / 6.0) * c1 + ((-(3.0 * a) + 13.0) * a - 13.0)) * c1 +
                              0.5 * (((2.0 * a - 25.0) * a + 72.0) * a - 61.0)) *
                                 c1 +
                             (((25.0 * a - 195.0) * a + 477.0) * a - 379.0) / 12.0));
    return (((c5 / y + c4) / y + c3) / y + c2) / y + c1 + y;
}

GaminvStart iterate_on_smaller(double p) { return p > 0.5 ? GaminvStart::iterate_upper : GaminvStart::iterate_lower; }

GaminvApproximation small_shape(double a, double p, double q) {
    double ap1 = a + 1.0;
    const double g = Xgamm(&ap1);
    const double qg = q * g;
    const double b = qg / a;
    if (qg <= 0.6 * a) {
        if (a < 0.3 && b >= 0.35) {
            const double t = std::exp(-(b + euler));
            const double u = t * std::exp(t);
            return {t * std::exp(u), iterate_on_smaller(p)};
        }
        if (b < 0.45) {
            const double y = -std::log(b);
            const double s = 0.5 + (0.5 - a);
            const double z = std::log(y);
            const double t = y - s * z;
            if (b >= 0.15) {
                return {y - s * std::log(t) - std::log(1.0 + s / (t + 1.0)), GaminvStart::iterate_upper};
            }
            if (b > 0.01) {
                const double u = ((t + 2.0 * (3.0 - a)) * t + (2.0 - a) * (3.0 - a)) / ((t + (5.0 - a)) * t + 2.0);
                return {y - s * std::log(t) - std::log(u), GaminvStart::iterate_upper};
            }
            const double xn = large_x_expansion(a, y, s, z);
            return {xn, b <= bmin ? GaminvStart::accepted : GaminvStart::iterate_upper};
        }
    }
    double xn;
    if (b * q <= 1e-8) {
        xn = std::exp(-(q / a + euler));
    } else if (p > 0.9) {
        double minus_q = -q;
        double aa = a;
        xn = std::exp((alnrel(&minus_q) + gamln1(&aa)) / a);
    } else {
        xn = std::exp(std::log(p * g) / a);
    }
    if (xn == 0.0) {
        return {0.0, GaminvStart::underflow};
    }
    const double t = 0.5 + (0.5 - xn / ap1);
    return {xn / t, iterate_on_smaller(p)};
}

// Fixed-point steps on the small-x series of P from x, with
// w = ln p + ln Gamma(a + 1).
double small_x_series(double a, double w, double x) {
    const double ap1 = a + 1.0;
    const double ap2 = a + 2.0;
    const double ap3 = a + 3.0;
    double t = std::exp((w + x) / a);
    t = std::exp((w + t - std::log(1.0 + t / ap1 * (1.0 + t / ap2))) / a);
    t = std::exp((w + t - std::log(1.0 + t / ap1 * (1.0 + t / ap2))) / a);
    return std::exp((w + t - std::log(1.0 + t / ap1 * (1.0 + t / ap2 * (1.0 + t / ap3)))) / a);
}

// One step on the series of P summed to terms below 1e-4 from xn.
double summed_series_step(double a, double w, double xn) {
    double apn = a + 1.0;
    double term = xn / apn;
    double sum = 1.0 + term;
    do {
        apn += 1.0;
        term *= xn / apn;
        sum += term;
    } while (term > 1e-4);
    const double t = w - std::log(sum);
    double x = std::exp((xn + t) / a);
    return x * (1.0 - (a * std::log(x) - x - t) / (a - 1.0));
}

GaminvApproximation large_shape(double a, double p, double q) {
    // Normal quantile of the smaller tail by a rational approximation.
    static const double a0 = 3.31125922108741;
    static const double a1 = 11.6616720288968;
    static const double a2 = 4.28342155967104;
    static const double a3 = 0.213623493715853;
    static const double b1 = 6.61053765625462;
    static const double b2 = 6.40691597760039;
    static const double b3 = 1.27364489782223;
    static const double b4 = 0.036117081018842;
    double w = q > 0.5 ? std::log(p) : std::log(q);
    double t = std::sqrt(-(2.0 * w));
    double s = t - (((a3 * t + a2) * t + a1) * t + a0) / ((((b4 * t + b3) * t + b2) * t + b1) * t + 1.0);
    if (q > 0.5) {
        s = -s;
    }
    const double rta = std::sqrt(a);
    const double s2 = s * s;
    double xn = a + s * rta + (s2 - 1.0) / 3.0 + s * (s2 - 7.0) / (36.0 * rta) -
                ((3.0 * s2 + 7.0) * s2 - 16.0) / (810.0 * a) +
                s * ((9.0 * s2 + 256.0) * s2 - 433.0) / (38880.0 * a * rta);
    xn = std::fmax(xn, 0.0);
    // The series below starts from x: 0, or this value once a reaches amin.
    double x = 0.0;
    if (a >= amin) {
        x = xn;
        if (std::fabs(0.5 + (0.5 - x / a)) <= dmin) {
            return {x, GaminvStart::accepted};
        }
    }
    if (p > 0.5) {
        if (xn < 3.0 * a) {
            return {xn, GaminvStart::iterate_upper};
        }
        double aa = a;
        const double y = -(w + gamln(&aa));
        const double d = std::fmax(2.0, a * (a - 1.0));
        if (y >= ln10 * d) {
            return {large_x_expansion(a, y, 1.0 - a, std::log(y)), GaminvStart::iterate_upper};
        }
        const double am1 = a - 1.0;
        double ratio = -(am1 / (xn + 1.0));
        xn = y + am1 * std::log(xn) - alnrel(&ratio);
        ratio = -(am1 / (xn + 1.0));
        xn = y + am1 * std::log(xn) - alnrel(&ratio);
        return {xn, GaminvStart::iterate_upper};
    }
    double ap1 = a + 1.0;
    if (xn > 0.7 * ap1) {
        return {xn, GaminvStart::iterate_lower};
    }
    w += gamln(&ap1);
    if (xn <= 0.15 * ap1) {
        xn = small_x_series(a, w, x);
        if (xn <= 1e-2 * ap1) {
            return {xn, xn <= emin * ap1 ? GaminvStart::accepted : GaminvStart::iterate_lower};
        }
    }
    return {summed_series_step(a, w, xn), GaminvStart::iterate_lower};
}

GaminvApproximation approximation(double a, double p, double q) {
    return a < 1.0 ? small_shape(a, p, q) : large_shape(a, p, q);
}

// Schroeder steps from xn on p (lower) or q.
GaminvOutcome schroeder(double a, double p, double q, double xn, bool lower) {
    int K_epsilon = 1;
    const double e = spmpar(&K_epsilon);
    const double amax = gaminv_amax();
    const double am1 = (a - 0.5) - 0.5;
    int ind = 0;
    double x = xn;
    for (int ierr = 1;; ++ierr) {
        if (a > amax && std::fabs(0.5 + (0.5 - xn / a)) <= 2.0 * e) {
            return {xn, -8};
        }
        if (ierr > max_iterations) {
            return {x, -6};
        }
        double pn;
        double qn;
        gratio(&a, &xn, &pn, &qn, &ind);
        if (pn == 0.0 || qn == 0.0) {
            return {xn, -8};
        }
        const double r = rcomp(&a, &xn);
        if (r == 0.0) {
            return {xn, -8};
        }
        const double t = lower ? (pn - p) / r : (q - qn) / r;
        const double w = 0.5 * (am1 - xn);
        double d;
        if (std::fabs(t) <= 0.1 && std::fabs(w * t) <= 0.1) {
            const double h = t * (1.0 + w * t);
            x = xn * (1.0 - h);
            if (x <= 0.0) {
                return {0.0, -7};
            }
            if (std::fabs(w) >= 1.0 && std::fabs(w) * t * t <= eps0) {
                return {x, ierr};
            }
            d = std::fabs(h);
        } else {
            x = xn * (1.0 - t);
            if (x <= 0.0) {
                return {0.0, -7};
            }
            d = std::fabs(t);
        }
        xn = x;
        if (d <= tol) {
            const double miss = lower ? std::fabs(p - pn) : std::fabs(q - qn);
            if (d <= eps0 || miss <= tol * (lower ? p : q)) {
                return {x, ierr};
            }
        }
    }
}

}  // namespace

double gaminv_amax() {
    int K_epsilon = 1;
    const double e = spmpar(&K_epsilon);
    return 0.4e-10 / (e * e);
}

GaminvOutcome gaminv_published(double a, double p, double q, double x0) {
    int K_smallest = 2;
    GaminvApproximation start{x0, p > 0.5 ? GaminvStart::iterate_upper : GaminvStart::iterate_lower};
    if (x0 <= 0.0) {
        start = approximation(a, p, q);
    }
    if (start.next == GaminvStart::underflow) {
        return {0.0, -3};
    }
    if (start.next == GaminvStart::accepted) {
        return {start.x, 0};
    }
    const bool lower = start.next == GaminvStart::iterate_lower;
    if ((lower ? p : q) <= 1e10 * spmpar(&K_smallest)) {
        return {start.x, -8};
    }
    return schroeder(a, p, q, start.x, lower);
}

}  // namespace vorlan2
