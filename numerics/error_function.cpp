// The error function and the (optionally scaled) complementary error
// function of the incomplete gamma ratio.
#include <cmath>

#include "numerics/special_functions.h"

namespace {

// Rational approximations shared by erf1 and erfc1: a/b on abs(x) <= 0.5
// (in x*x), p/q on 0.5 < abs(x) <= 4, r/s beyond (in 1/(x*x)); highest
// degree first.
const double c = 0.564189583547756;
const double a[5] = {0.000077105849500132, -0.00133733772997339, 0.0323076579225834, 0.0479137145607681,
                     0.128379167095513};
const double b[3] = {0.00301048631703895, 0.0538971687740286, 0.375795757275549};
const double p[8] = {-1.36864857382717e-07, 0.564195517478974, 7.21175825088309, 43.1622272220567,
                     152.98928504694,       339.320816734344,  451.918953711873, 300.459261020162};
const double q[8] = {1.0,
                     12.7827273196294,
                     77.0001529352295,
                     277.585444743988,
                     638.980264465631,
                     931.35409485061,
                     790.950925327898,
                     300.459260956983};
const double r[5] = {2.10144126479064, 26.2370141675169, 21.3688200555087, 4.6580782871847, 0.282094791773523};
const double s[4] = {94.153775055546, 187.11481179959, 99.0191814623914, 18.0124575948747};

double small_ratio(double t) {
    double top = (((a[0] * t + a[1]) * t + a[2]) * t + a[3]) * t + a[4] + 1.0;
    double bot = ((b[0] * t + b[1]) * t + b[2]) * t + 1.0;
    return top / bot;
}

double middle_ratio(double ax) {
    double top = ((((((p[0] * ax + p[1]) * ax + p[2]) * ax + p[3]) * ax + p[4]) * ax + p[5]) * ax + p[6]) * ax + p[7];
    double bot = ((((((q[0] * ax + q[1]) * ax + q[2]) * ax + q[3]) * ax + q[4]) * ax + q[5]) * ax + q[6]) * ax + q[7];
    return top / bot;
}

double large_top(double t) { return (((r[0] * t + r[1]) * t + r[2]) * t + r[3]) * t + r[4]; }

double large_bot(double t) { return (((s[0] * t + s[1]) * t + s[2]) * t + s[3]) * t + 1.0; }

}  // namespace

double erf1(double* x) {
    double ax = std::fabs(*x);
    if (ax <= 0.5) {
        double t = *x * *x;
        return *x * small_ratio(t);
    }
    if (ax <= 4.0) {
        double value = 0.5 + (0.5 - std::exp(-(*x * *x)) * middle_ratio(ax));
        return *x < 0.0 ? -value : value;
    }
    if (ax < 5.8) {
        double x2 = *x * *x;
        double t = 1.0 / x2;
        double value = (c - large_top(t) / (x2 * large_bot(t))) / ax;
        value = 0.5 + (0.5 - std::exp(-x2) * value);
        return *x < 0.0 ? -value : value;
    }
    return *x < 0.0 ? -1.0 : 1.0;
}

double erfc1(int* ind, double* x) {
    int K_underflow = 1;
    double ax = std::fabs(*x);
    if (ax <= 0.5) {
        double t = *x * *x;
        double value = 0.5 + (0.5 - *x * small_ratio(t));
        if (*ind != 0) {
            value = std::exp(t) * value;
        }
        return value;
    }
    double value;
    if (ax <= 4.0) {
        value = middle_ratio(ax);
    } else {
        if (*x <= -5.6) {
            return *ind == 0 ? 2.0 : 2.0 * std::exp(*x * *x);
        }
        if (*ind == 0 && (*x > 100.0 || *x * *x > -exparg(&K_underflow))) {
            return 0.0;
        }
        double t = std::pow(1.0 / *x, 2.0);
        value = (c - t * large_top(t) / large_bot(t)) / ax;
    }
    if (*ind != 0) {
        if (*x < 0.0) {
            value = 2.0 * std::exp(*x * *x) - value;
        }
        return value;
    }
    value = std::exp(-(*x * *x)) * value;
    if (*x < 0.0) {
        value = 2.0 - value;
    }
    return value;
}
