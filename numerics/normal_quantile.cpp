// Normal quantile by Newton steps from a rational start value, and the
// Cornish-Fisher style start value of the t quantile built on it.
#include "numerics/normal_quantile.h"

#include <cmath>
#include <limits>

#include "numerics/auxiliary_functions.h"
#include "numerics/cdfnor.h"

double stvaln(double* p) {
    static double xnum[5] = {-0.322232431088, -1.0, -0.342242088547, -0.0204231210245, -4.53642210148e-5};
    static double xden[5] = {0.099348462606, 0.588581570495, 0.531103462366, 0.10353775285, 0.0038560700634};
    int K5 = 5;
    double sign;
    double z;
    if (*p <= 0.5) {
        sign = -1.0;
        z = *p;
    } else {
        sign = 1.0;
        z = 1.0 - *p;
    }
    double y = std::sqrt(-(2.0 * std::log(z)));
    double result = y + devlpl(xnum, &K5, &y) / devlpl(xden, &K5, &y);
    return sign * result;
}

namespace {

const int maxit = 100;
const double eps = 1.0e-13;

// Newton steps on ln Phi for a tail below the smallest normal double, where
// Phi and the density underflow: ln Phi(x) from its asymptotic series (the
// start is beyond -37, far inside the series' range), whose derivative is
// phi(x) / Phi(x). The start value when the steps run out.
double far_tail_quantile(double pp, double strtx) {
    static const double ln_sqrt_2pi = 0.9189385332046728;
    const double target = std::log(pp);
    double xcur = strtx;
    for (int i = 1; i <= maxit; ++i) {
        const double log_cum = dlanor(&xcur);
        const double log_density = -0.5 * xcur * xcur - ln_sqrt_2pi;
        const double dx = (log_cum - target) / std::exp(log_density - log_cum);
        xcur -= dx;
        if (std::fabs(dx / xcur) < eps) {
            return xcur;
        }
    }
    return strtx;
}

}  // namespace

double dinvnr(double* p, double* q) {
    static const double r2pi = 0.3989422804014326;
    bool qporq = *p <= *q;
    double pp = qporq ? *p : *q;
    if (pp == 0.5) {
        // The median is exactly 0; the start value misses it by a rounding
        // error that is too small for a Newton step to see.
        return 0.0;
    }
    double strtx = stvaln(&pp);
    if (pp > 0.0 && pp < std::numeric_limits<double>::min()) {
        const double x = far_tail_quantile(pp, strtx);
        return qporq ? x : -x;
    }
    double xcur = strtx;
    for (int i = 1; i <= maxit; ++i) {
        double cum;
        double ccum;
        cumnor(&xcur, &cum, &ccum);
        double dx = (cum - pp) / (r2pi * std::exp(-0.5 * xcur * xcur));
        xcur -= dx;
        // A zero step also ends it: when xcur lands exactly on the root 0
        // the relative step would be NaN and the loop would fall back to
        // the start value.
        if (dx == 0.0 || std::fabs(dx / xcur) < eps) {
            return qporq ? xcur : -xcur;
        }
    }
    return qporq ? strtx : -strtx;
}

double dt1(double* p, double* q, double* df) {
    static double coef[4][5] = {{1.0, 1.0, 0.0, 0.0, 0.0},
                                {3.0, 16.0, 5.0, 0.0, 0.0},
                                {-15.0, 17.0, 19.0, 3.0, 0.0},
                                {-945.0, -1920.0, 1482.0, 776.0, 79.0}};
    static const double denom[4] = {4.0, 96.0, 384.0, 92160.0};
    static int ideg[4] = {2, 3, 4, 5};
    double x = std::fabs(dinvnr(p, q));
    double xx = x * x;
    double sum = x;
    double denpow = 1.0;
    for (int i = 0; i < 4; ++i) {
        double term = devlpl(coef[i], &ideg[i], &xx) * x;
        denpow *= *df;
        sum += term / (denpow * denom[i]);
    }
    return *p >= 0.5 ? sum : -sum;
}
