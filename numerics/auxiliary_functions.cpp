// Polynomial evaluation, log-gamma for positive arguments, the log normal
// tail for large arguments and the Stirling remainders.
#include "numerics/auxiliary_functions.h"

#include <cmath>
#include <limits>

#include "numerics/fatal_error.h"
#include "numerics/log_beta.h"
#include "numerics/log_helpers.h"

using namespace vorlan2;

namespace {

const double ln_sqrt_2pi = 0.9189385332046728;

}  // namespace

double devlpl(double a[], int* n, double* x) {
    if (*n <= 0) {
        return 0.0;
    }
    double term = a[*n - 1];
    for (int i = *n - 2; i >= 0; --i) {
        term = a[i] + term * *x;
    }
    return term;
}

double alngam(double* x) {
    static double scoefn[9] = {62.00383800712726,   36.036772530024834, 20.782472531792127,
                               6.338067999387272,   2.1599431284605908, 0.39806713102035707,
                               0.10931159567104395, 0.0092381945590276, 0.0029737866448101653};
    static double scoefd[4] = {62.00383800712699, 9.822521104713996, -8.906016659497462, 1.0};
    static double coef[5] = {0.08333333333333302, -0.002777777776881881, 0.00079365006754279, -0.000594997310889,
                             0.0008065880899};
    int K9 = 9;
    int K4 = 4;
    int K5 = 5;

    // Outside the domain the reduction below would not end (or never start).
    if (!(*x > 0.0)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (std::isinf(*x)) {
        return *x;
    }
    if (*x <= 6.0) {
        double prod = 1.0;
        double xx = *x;
        while (xx > 3.0) {
            xx -= 1.0;
            prod *= xx;
        }
        while (xx < 2.0) {
            prod /= xx;
            xx += 1.0;
        }
        double t1 = xx - 2.0;
        double t2 = xx - 2.0;
        double value = devlpl(scoefn, &K9, &t1) / devlpl(scoefd, &K4, &t2);
        value *= prod;
        return std::log(value);
    }
    double offset = ln_sqrt_2pi;
    double xx = *x;
    long n = static_cast<long>(12.0 - *x);
    if (n > 0) {
        double prod = 1.0;
        for (long i = 1; i <= n; ++i) {
            prod *= (*x + static_cast<double>(i - 1));
        }
        offset -= std::log(prod);
        xx = *x + static_cast<double>(n);
    }
    double t = 1.0 / std::pow(xx, 2.0);
    double value = devlpl(coef, &K5, &t) / xx;
    value += offset + (xx - 0.5) * std::log(xx);
    value -= xx;
    return value;
}

double dlanor(double* x) {
    static double coef[12] = {-1.0,      3.0,       -15.0,       105.0,       -945.0,         10395.0,
                              -135135.0, 2027025.0, -34459425.0, 654729075.0, -13749310575.0, 316234143225.0};
    int K12 = 12;
    double xx = std::fabs(*x);
    // Written so that a NaN argument is refused as well.
    if (!(xx >= 5.0)) {
        numerics_fatal(" Argument too small in DLANOR");
    }
    double approx = -(xx * xx) * 0.5 - ln_sqrt_2pi - std::log(xx);
    double xx2 = xx * xx;
    double t = 1.0 / xx2;
    double correction = devlpl(coef, &K12, &t) / xx2;
    correction = dln1px(&correction);
    return approx + correction;
}

double dstrem(double* z) {
    static double coef[10] = {0.0,
                              0.08333333333333333,
                              -0.002777777777777778,
                              0.0007936507936507937,
                              -0.0005952380952380953,
                              0.0008417508417508417,
                              -0.0019175269175269176,
                              0.00641025641025641,
                              -0.029550653594771242,
                              0.17964437236883057};
    int K10 = 10;
    // Written so that a NaN argument is refused as well.
    if (!(*z > 0.0)) {
        numerics_fatal("Zero or negative argument in DSTREM");
    }
    if (*z > 6.0) {
        double t = 1.0 / std::pow(*z, 2.0);
        return devlpl(coef, &K10, &t) * *z;
    }
    double sterling = (*z - 0.5) * std::log(*z) + ln_sqrt_2pi - *z;
    return dlngam(z) - sterling;
}

double dbetrm(double* a, double* b) {
    double larger = *a < *b ? *b : *a;
    double smaller = *a < *b ? *a : *b;
    double sum = *a + *b;
    return dstrem(&larger) + dstrem(&smaller) - dstrem(&sum);
}
