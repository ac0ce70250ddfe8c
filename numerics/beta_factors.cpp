// The factor x^a y^b / B(a, b) of the incomplete beta ratio: through logarithms
// for small parameters, and through the saddle-point form for a, b >= 8.
#include "numerics/beta_factors.h"

#include <algorithm>
#include <cmath>

#include "numerics/log_beta.h"
#include "numerics/log_helpers.h"
#include "numerics/special_functions.h"

namespace {

// ln x and ln y, each through the form that keeps the smaller of x, y exact.
void log_pair(double* x, double* y, double* lnx, double* lny) {
    if (*x <= 0.375) {
        *lnx = std::log(*x);
        double minus_x = -*x;
        *lny = alnrel(&minus_x);
    } else if (*y > 0.375) {
        *lnx = std::log(*x);
        *lny = std::log(*y);
    } else {
        double minus_y = -*y;
        *lnx = alnrel(&minus_y);
        *lny = std::log(*y);
    }
}

// 1/Gamma(1 + a + b) for 0 < a + b <= 2, through gam1 on its valid range.
double reciprocal_gamma_one_plus_sum(double a, double b) {
    double apb = a + b;
    if (apb <= 1.0) {
        return 1.0 + gam1(&apb);
    }
    double u = a + b - 1.0;
    return (1.0 + gam1(&u)) / apb;
}

// For a, b >= 8: the exponent a u + b v of the saddle-point form, together
// with the scale sqrt(b x0) of its prefactor.
double saddle_exponent(double a, double b, double x, double y, double* scale) {
    double h;
    double x0;
    double y0;
    double lambda;
    if (a > b) {
        h = b / a;
        x0 = 1.0 / (1.0 + h);
        y0 = h / (1.0 + h);
        lambda = (a + b) * y - b;
    } else {
        h = a / b;
        x0 = h / (1.0 + h);
        y0 = 1.0 / (1.0 + h);
        lambda = a - (a + b) * x;
    }
    double e = -lambda / a;
    double u;
    if (std::fabs(e) > 0.6) {
        u = e - std::log(x / x0);
    } else {
        u = rlog1(&e);
    }
    e = lambda / b;
    double v;
    if (std::fabs(e) > 0.6) {
        v = e - std::log(y / y0);
    } else {
        v = rlog1(&e);
    }
    *scale = std::sqrt(b * x0);
    return -(a * u + b * v);
}

}  // namespace

double brcmp1(int* mu, double* a, double* b, double* x, double* y) {
    // 1/sqrt(2 pi)
    const double rt2pin = 0.398942280401433e0;
    double a0 = std::min(*a, *b);
    if (a0 >= 8.0) {
        double scale;
        double exponent = saddle_exponent(*a, *b, *x, *y, &scale);
        const double z = esum(mu, &exponent);
        return rt2pin * scale * z * std::exp(-bcorr(a, b));
    }
    double lnx;
    double lny;
    log_pair(x, y, &lnx, &lny);
    double z = *a * lnx + *b * lny;
    if (a0 >= 1.0) {
        z -= betaln(a, b);
        return esum(mu, &z);
    }
    double b0 = std::max(*a, *b);
    if (b0 >= 8.0) {
        double exponent = z - (gamln1(&a0) + algdiv(&a0, &b0));
        return a0 * esum(mu, &exponent);
    }
    if (b0 <= 1.0) {
        const double result = esum(mu, &z);
        if (result == 0.0) {
            return 0.0;
        }
        const double c = (1.0 + gam1(a)) * (1.0 + gam1(b)) / reciprocal_gamma_one_plus_sum(*a, *b);
        return result * (a0 * c) / (1.0 + a0 / b0);
    }
    double u = gamln1(&a0);
    const int n = static_cast<int>(b0 - 1.0);
    if (n >= 1) {
        double c = 1.0;
        for (int i = 1; i <= n; ++i) {
            b0 -= 1.0;
            c *= b0 / (a0 + b0);
        }
        u = std::log(c) + u;
    }
    z -= u;
    b0 -= 1.0;
    const double t = reciprocal_gamma_one_plus_sum(a0, b0);
    return a0 * esum(mu, &z) * (1.0 + gam1(&b0)) / t;
}

double brcomp(double* a, double* b, double* x, double* y) {
    if (*x == 0.0 || *y == 0.0) {
        return 0.0;
    }
    // esum(0, z) is exactly exp(z).
    int mu = 0;
    return brcmp1(&mu, a, b, x, y);
}
