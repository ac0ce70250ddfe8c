// Logarithm and exponential helpers of the incomplete beta ratio.
#include "numerics/log_helpers.h"

#include <cmath>

#include "numerics/special_functions.h"

double alnrel(double* a) {
    const double p1 = -0.129418923021993e+01;
    const double p2 = 0.405303492862024e+00;
    const double p3 = -0.178874546012214e-01;
    const double q1 = -0.162752256355323e+01;
    const double q2 = 0.747811014037616e+00;
    const double q3 = -0.845104217945565e-01;
    if (std::fabs(*a) > 0.375) {
        return std::log(1.0 + *a);
    }
    const double t = *a / (*a + 2.0);
    const double t2 = t * t;
    const double w = (((p3 * t2 + p2) * t2 + p1) * t2 + 1.0) / (((q3 * t2 + q2) * t2 + q1) * t2 + 1.0);
    return 2.0 * t * w;
}

double dln1px(double* a) { return alnrel(a); }

double dln1mx(double* x) {
    double minus_x = -*x;
    return dln1px(&minus_x);
}

double rlog1(double* x) {
    const double a = 0.566749439387324e-01;
    const double b = 0.456512608815524e-01;
    const double p0 = 0.333333333333333e+00;
    const double p1 = -0.224696413112536e+00;
    const double p2 = 0.620886815375787e-02;
    const double q1 = -0.127408923933623e+01;
    const double q2 = 0.354508718369557e+00;
    if (*x < -0.39 || *x > 0.57) {
        const double w = *x + 0.5 + 0.5;
        return *x - std::log(w);
    }
    double h;
    double w1;
    if (*x < -0.18) {
        h = *x + 0.3;
        h /= 0.7;
        w1 = a - h * 0.3;
    } else if (*x > 0.18) {
        h = 0.75 * *x - 0.25;
        w1 = b + h / 3.0;
    } else {
        h = *x;
        w1 = 0.0;
    }
    const double r = h / (h + 2.0);
    const double t = r * r;
    const double w = ((p2 * t + p1) * t + p0) / ((q2 * t + q1) * t + 1.0);
    return 2.0 * t * (1.0 / (1.0 - r) - r * w) + w1;
}

double dexpm1(double* x) { return rexp(x); }

double esum(int* mu, double* x) {
    const double mu_d = *mu;
    if (*x > 0.0) {
        if (*mu <= 0) {
            const double w = mu_d + *x;
            if (w >= 0.0) {
                return std::exp(w);
            }
        }
    } else if (*mu >= 0) {
        const double w = mu_d + *x;
        if (w <= 0.0) {
            return std::exp(w);
        }
    }
    return std::exp(mu_d) * std::exp(*x);
}
