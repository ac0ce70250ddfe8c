// Normal distribution function: forward through Cody's approximation, the
// inverse modes in closed form through the normal quantile.
#include "numerics/cdfnor.h"

#include <cmath>
#include <cstdio>

#include "numerics/cdf_checks.h"
#include "numerics/cdf_search.h"
#include "numerics/normal_quantile.h"

using namespace vorlan2;

void cdfnor(int* which, double* p, double* q, double* x, double* mean, double* sd, int* status, double* bound) {
    std::printf("in cdfnor\n");
    if (fails_which(*which, 4, status, bound)) {
        return;
    }
    if (*which != 1 &&
        (fails_open_below(*p, 0.0, 1.0, -2, status, bound) || fails_open_below(*q, 0.0, 1.0, -3, status, bound) ||
         fails_sum_to_one(*p, *q, 3, status, bound))) {
        return;
    }
    if (*which != 4 && fails_above(*sd, 0.0, -6, status, bound)) {
        return;
    }
    // No check bounds x or the mean. A NaN among them is refused in every
    // mode with the status the forward mode gives for the NaN tails it makes.
    if ((*which != 2 && std::isnan(*x)) || (*which != 3 && std::isnan(*mean))) {
        *status = 10;
        return;
    }
    *status = 0;
    if (*which == 1) {
        double z = (*x - *mean) / *sd;
        *status = forward_tails([&](double* cum, double* ccum) { cumnor(&z, cum, ccum); }, p, q);
        return;
    }
    const double z = dinvnr(p, q);
    if (*which == 2) {
        *x = *sd * z + *mean;
    } else if (*which == 3) {
        *mean = *x - *sd * z;
    } else {
        // A negative quotient (x on the wrong side of the mean for p) or the
        // median p = 0.5 admit no positive finite sd.
        *status = store_positive((*x - *mean) / z, sd, bound);
    }
}
