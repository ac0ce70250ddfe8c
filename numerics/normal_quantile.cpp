// Normal quantile by Newton steps from a rational start value, and the
// Cornish-Fisher style start value of the t quantile built on it.
#include "numerics/normal_quantile.h"

#include <cmath>

#include "numerics/auxiliary_functions.h"

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
