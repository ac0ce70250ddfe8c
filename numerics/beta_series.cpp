// Power series, shifted sums and the continued fraction of the incomplete
// beta ratio. Every series ends when its terms fall below its tolerance; the
// tests are written so that a NaN term also ends the loop.
#include "numerics/beta_series.h"

#include <algorithm>
#include <cmath>

#include "numerics/beta_factors.h"
#include "numerics/log_beta.h"
#include "numerics/psi.h"
#include "numerics/special_functions.h"

namespace {

// The largest mu for which exp(mu) and exp(-mu) are both finite and nonzero.
int scaling_exponent() {
    int lower = 1;
    int upper = 0;
    const int mu = static_cast<int>(std::fabs(exparg(&lower)));
    const int k = static_cast<int>(exparg(&upper));
    return k < mu ? k : mu;
}

}  // namespace

double bpser(double* a, double* b, double* x, double* eps) {
    if (*x == 0.0) {
        return 0.0;
    }
    // The factor x^a / (a B(a, b)).
    double result;
    double a0 = std::min(*a, *b);
    if (a0 >= 1.0) {
        const double z = *a * std::log(*x) - betaln(a, b);
        result = std::exp(z) / *a;
    } else {
        double b0 = std::max(*a, *b);
        if (b0 >= 8.0) {
            const double u = gamln1(&a0) + algdiv(&a0, &b0);
            const double z = *a * std::log(*x) - u;
            result = a0 / *a * std::exp(z);
        } else if (b0 <= 1.0) {
            result = std::pow(*x, *a);
            if (result == 0.0) {
                return 0.0;
            }
            double apb = *a + *b;
            double z;
            if (apb > 1.0) {
                double u = *a + *b - 1.0;
                z = (1.0 + gam1(&u)) / apb;
            } else {
                z = 1.0 + gam1(&apb);
            }
            const double c = (1.0 + gam1(a)) * (1.0 + gam1(b)) / z;
            result = result * c * (*b / apb);
        } else {
            // 1 < b0 < 8: reduce b0 by the recurrence of the gamma function.
            double u = gamln1(&a0);
            const int m = static_cast<int>(b0 - 1.0);
            if (m >= 1) {
                double c = 1.0;
                for (int i = 1; i <= m; ++i) {
                    b0 -= 1.0;
                    c *= b0 / (a0 + b0);
                }
                u = std::log(c) + u;
            }
            const double z = *a * std::log(*x) - u;
            b0 -= 1.0;
            double apb = a0 + b0;
            double t;
            if (apb > 1.0) {
                double v = a0 + b0 - 1.0;
                t = (1.0 + gam1(&v)) / apb;
            } else {
                t = 1.0 + gam1(&apb);
            }
            result = std::exp(z) * (a0 / *a) * (1.0 + gam1(&b0)) / t;
        }
    }
    if (result == 0.0 || *a <= 0.1 * *eps) {
        return result;
    }
    double sum = 0.0;
    double n = 0.0;
    double c = 1.0;
    const double tol = *eps / *a;
    double w;
    do {
        n += 1.0;
        c = c * (0.5 + (0.5 - *b / n)) * *x;
        w = c / (*a + n);
        sum += w;
    } while (std::fabs(w) > tol);
    return result * (1.0 + *a * sum);
}

double bup(double* a, double* b, double* x, double* y, int* n, double* eps) {
    // Scale the leading factor by exp(-mu) when the terms may overflow.
    const double apb = *a + *b;
    const double ap1 = *a + 1.0;
    int mu = 0;
    double d = 1.0;
    if (!(*n == 1 || *a < 1.0 || apb < 1.1 * ap1)) {
        mu = scaling_exponent();
        d = std::exp(-static_cast<double>(mu));
    }
    double result = brcmp1(&mu, a, b, x, y) / *a;
    if (result == 0.0 && mu == 0 && *n > 1) {
        // The leading factor underflowed, yet for b far above a the later
        // terms can be larger by hundreds of orders of magnitude: scale it.
        mu = scaling_exponent();
        d = std::exp(-static_cast<double>(mu));
        result = brcmp1(&mu, a, b, x, y) / *a;
    }
    if (*n == 1 || result == 0.0) {
        return result;
    }
    const int nm1 = *n - 1;
    double w = d;
    // k: the index of the largest term; the terms up to it are all added.
    int k = 0;
    if (*b > 1.0) {
        if (*y > 1.0e-4) {
            const double r = (*b - 1.0) * *x / *y - *a;
            if (r >= 1.0) {
                k = nm1;
                if (r < static_cast<double>(nm1)) {
                    k = static_cast<int>(r);
                }
            }
        } else {
            k = nm1;
        }
        for (int i = 1; i <= k; ++i) {
            const double l = i - 1;
            d = (apb + l) / (ap1 + l) * *x * d;
            w += d;
        }
    }
    // The remaining terms decrease; stop once they no longer matter.
    for (int i = k + 1; i <= nm1; ++i) {
        const double l = i - 1;
        d = (apb + l) / (ap1 + l) * *x * d;
        w += d;
        if (d <= *eps * w) {
            break;
        }
    }
    return result * w;
}

double bfrac(double* a, double* b, double* x, double* y, double* lambda, double* eps) {
    const double factor = brcomp(a, b, x, y);
    if (factor == 0.0) {
        return 0.0;
    }
    const double c = 1.0 + *lambda;
    const double c0 = *b / *a;
    const double c1 = 1.0 + 1.0 / *a;
    const double yp1 = *y + 1.0;
    double n = 0.0;
    double p = 1.0;
    double s = *a + 1.0;
    double an = 0.0;
    double bn = 1.0;
    double anp1 = 1.0;
    double bnp1 = c / c1;
    double r = c1 / c;
    for (;;) {
        n += 1.0;
        double t = n / *a;
        const double w = n * (*b - n) * *x;
        double e = *a / s;
        const double alpha = p * (p + c0) * e * e * (w * *x);
        e = (1.0 + t) / (c1 + t + t);
        const double beta = n + w / s + e * (c + n * yp1);
        p = 1.0 + t;
        s += 2.0;
        t = alpha * an + beta * anp1;
        an = anp1;
        anp1 = t;
        t = alpha * bn + beta * bnp1;
        bn = bnp1;
        bnp1 = t;
        const double r0 = r;
        r = anp1 / bnp1;
        // Written so that a NaN convergent also ends the loop.
        if (!(std::fabs(r - r0) > *eps * r)) {
            break;
        }
        // Rescale so that the convergents stay representable.
        an /= bnp1;
        bn /= bnp1;
        anp1 = r;
        bnp1 = 1.0;
    }
    return factor * r;
}

double apser(double* a, double* b, double* x, double* eps) {
    // Euler's constant.
    const double g = 0.577215664901533e0;
    const double bx = *b * *x;
    double t = *x - bx;
    double c;
    if (*b * *eps <= 2.0e-2) {
        c = std::log(*x) + psi(b) + g + t;
    } else {
        c = std::log(bx) + g + t;
    }
    const double tol = 5.0 * *eps * std::fabs(c);
    double j = 1.0;
    double s = 0.0;
    double aj;
    do {
        j += 1.0;
        t *= *x - bx / j;
        aj = t / j;
        s += aj;
    } while (std::fabs(aj) > tol);
    return -(*a * (c + s));
}

double fpser(double* a, double* b, double* x, double* eps) {
    double result = 1.0;
    if (*a > 1.0e-3 * *eps) {
        const double t = *a * std::log(*x);
        int lower = 1;
        if (t < exparg(&lower)) {
            return 0.0;
        }
        result = std::exp(t);
    }
    // 1/B(a, b) = b to within the accuracy for such small b.
    result = *b / *a * result;
    const double tol = *eps / *a;
    double an = *a + 1.0;
    double t = *x;
    double s = t / an;
    double c;
    do {
        an += 1.0;
        t *= *x;
        c = t / an;
        s += c;
    } while (std::fabs(c) > tol);
    return result * (1.0 + *a * s);
}
