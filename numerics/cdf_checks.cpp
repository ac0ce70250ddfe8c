// Argument checks shared by the distribution functions.
#include "numerics/cdf_checks.h"

#include <cmath>

#include "numerics/ipmpar.h"

namespace vorlan2 {

namespace {

bool fail(int code, double limit, int* status, double* bound) {
    *status = code;
    *bound = limit;
    return true;
}

}  // namespace

bool fails_which(int which, int largest, int* status, double* bound) {
    if (which < 1) {
        return fail(-1, 1.0, status, bound);
    }
    if (which > largest) {
        return fail(-1, largest, status, bound);
    }
    return false;
}

bool fails_closed(double v, double lo, double hi, int code, int* status, double* bound) {
    if (v > hi) {
        return fail(code, hi, status, bound);
    }
    if (!(v >= lo)) {
        return fail(code, lo, status, bound);
    }
    return false;
}

bool fails_open_below(double v, double lo, double hi, int code, int* status, double* bound) {
    if (v > hi) {
        return fail(code, hi, status, bound);
    }
    if (!(v > lo)) {
        return fail(code, lo, status, bound);
    }
    return false;
}

bool fails_at_least(double v, double lo, int code, int* status, double* bound) {
    if (!(v >= lo)) {
        return fail(code, lo, status, bound);
    }
    return false;
}

bool fails_above(double v, double lo, int code, int* status, double* bound) {
    if (!(v > lo)) {
        return fail(code, lo, status, bound);
    }
    return false;
}

bool fails_sum_to_one(double u, double v, int code, int* status, double* bound) {
    int precision = 1;
    if (std::fabs(((u + v) - 0.5) - 0.5) > 3.0 * spmpar(&precision)) {
        return fail(code, 1.0, status, bound);
    }
    return false;
}

}  // namespace vorlan2
