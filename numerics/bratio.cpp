// Incomplete beta ratio: argument checks and the choice among the series,
// continued fraction and asymptotic expansions by the region of (a, b, x).
#include "numerics/bratio.h"

#include <algorithm>
#include <cmath>

#include "numerics/beta_asymptotic.h"
#include "numerics/beta_series.h"
#include "numerics/ipmpar.h"

namespace {

// The argument checks; the comparisons are written so that a NaN fails the
// check of the argument it stands in. Returns the error code, 0 when valid.
int check_arguments(double a, double b, double x, double y, double eps) {
    if (!(a >= 0.0 && b >= 0.0)) {
        return 1;
    }
    if (a == 0.0 && b == 0.0) {
        return 2;
    }
    if (!(x >= 0.0 && x <= 1.0)) {
        return 3;
    }
    if (!(y >= 0.0 && y <= 1.0)) {
        return 4;
    }
    if (std::fabs(((x + y) - 0.5) - 0.5) > 3.0 * eps) {
        return 5;
    }
    if (x == 0.0 && a == 0.0) {
        return 6;
    }
    if (y == 0.0 && b == 0.0) {
        return 7;
    }
    return 0;
}

// Which of the pair the chosen method computed directly.
enum class Direct { lower, upper };

}  // namespace

void bratio(double* a, double* b, double* x, double* y, double* w, double* w1, int* ierr) {
    int precision = 1;
    double eps = spmpar(&precision);
    *w = 0.0;
    *w1 = 0.0;
    *ierr = check_arguments(*a, *b, *x, *y, eps);
    if (*ierr != 0) {
        return;
    }
    if (*x == 0.0) {
        *w1 = 1.0;
        return;
    }
    if (*y == 0.0 || *a == 0.0) {
        *w = 1.0;
        return;
    }
    if (*b == 0.0) {
        *w1 = 1.0;
        return;
    }
    eps = std::max(eps, 1.0e-15);
    if (std::max(*a, *b) < 1.0e-3 * eps) {
        *w = *b / (*a + *b);
        *w1 = *a / (*a + *b);
        return;
    }

    double a0 = *a;
    double b0 = *b;
    double x0 = *x;
    double y0 = *y;
    bool swapped = false;
    double lambda = 0.0;
    double fifteen_eps = 15.0 * eps;
    double value = 0.0;
    Direct direct = Direct::lower;
    // The expansion in the large parameter b0, after raising b0 by b0_shift
    // when it is too small for the expansion.
    bool expand_in_b0 = false;
    int b0_shift = 0;

    if (std::min(a0, b0) <= 1.0) {
        if (*x > 0.5) {
            swapped = true;
            a0 = *b;
            b0 = *a;
            x0 = *y;
            y0 = *x;
        }
        if (b0 < std::min(eps, eps * a0)) {
            value = fpser(&a0, &b0, &x0, &eps);
        } else if (a0 < std::min(eps, eps * b0) && b0 * x0 <= 1.0) {
            value = apser(&a0, &b0, &x0, &eps);
            direct = Direct::upper;
        } else if (std::max(a0, b0) > 1.0) {
            if (b0 <= 1.0) {
                value = bpser(&a0, &b0, &x0, &eps);
            } else if (x0 >= 0.3) {
                value = bpser(&b0, &a0, &y0, &eps);
                direct = Direct::upper;
            } else if (x0 < 0.1 && std::pow(x0 * b0, a0) <= 0.7) {
                value = bpser(&a0, &b0, &x0, &eps);
            } else {
                expand_in_b0 = true;
                b0_shift = b0 <= 15.0 ? 20 : 0;
            }
        } else if (a0 >= std::min(0.2, b0) || std::pow(x0, a0) <= 0.9) {
            value = bpser(&a0, &b0, &x0, &eps);
        } else if (x0 >= 0.3) {
            value = bpser(&b0, &a0, &y0, &eps);
            direct = Direct::upper;
        } else {
            expand_in_b0 = true;
            b0_shift = 20;
        }
        if (expand_in_b0) {
            // The expansion gives the upper tail.
            direct = Direct::upper;
            if (b0_shift > 0) {
                value = bup(&b0, &a0, &y0, &x0, &b0_shift, &eps);
                b0 += b0_shift;
            }
            // A failed expansion leaves the value of the shift alone.
            int bgrat_status = 0;
            bgrat(&b0, &a0, &y0, &x0, &value, &fifteen_eps, &bgrat_status);
        }
    } else {
        lambda = *a > *b ? (*a + *b) * *y - *b : *a - (*a + *b) * *x;
        if (lambda < 0.0) {
            swapped = true;
            a0 = *b;
            b0 = *a;
            x0 = *y;
            y0 = *x;
            lambda = std::fabs(lambda);
        }
        if (b0 < 40.0) {
            if (b0 * x0 <= 0.7) {
                value = bpser(&a0, &b0, &x0, &eps);
            } else {
                int n = static_cast<int>(b0);
                b0 -= n;
                if (b0 == 0.0) {
                    n -= 1;
                    b0 = 1.0;
                }
                value = bup(&b0, &a0, &y0, &x0, &n, &eps);
                if (x0 <= 0.7) {
                    value += bpser(&a0, &b0, &x0, &eps);
                } else {
                    if (a0 <= 15.0) {
                        int shift = 20;
                        value += bup(&a0, &b0, &x0, &y0, &shift, &eps);
                        a0 += shift;
                    }
                    int bgrat_status = 0;
                    bgrat(&a0, &b0, &x0, &y0, &value, &fifteen_eps, &bgrat_status);
                }
            }
        } else {
            const double smaller = std::min(a0, b0);
            if (smaller <= 100.0 || lambda > 0.03 * smaller) {
                value = bfrac(&a0, &b0, &x0, &y0, &lambda, &fifteen_eps);
            } else {
                double hundred_eps = 100.0 * eps;
                value = basym(&a0, &b0, &lambda, &hundred_eps);
            }
        }
    }

    const double other = 0.5 + (0.5 - value);
    if (direct == Direct::lower) {
        *w = value;
        *w1 = other;
    } else {
        *w1 = value;
        *w = other;
    }
    if (swapped) {
        std::swap(*w, *w1);
    }
    if (std::isnan(*w) || std::isnan(*w1)) {
        *ierr = 8;
        *w = std::nan("");
        *w1 = std::nan("");
    }
}
