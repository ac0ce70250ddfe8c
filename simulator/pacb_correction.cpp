// The table-driven and the polynomial corrections. The divisor holds ln 10
// rounded to seven digits, 2.302585, on purpose: results must agree with the
// ones that the coefficients were made with.
#include "simulator/pacb_correction.h"

#include <algorithm>
#include <cmath>

namespace {

double corrected(double x, double m, double s) { return std::exp((std::log(x) - m) / (s / 2.302585 + 1.0)); }

}  // namespace

double back_correction(int a, int b, double x) {
    if (b <= 1 || a <= 1 || x == 0.0) return x;
    const int entry = 99 * std::min(a, 100) + std::min(b, 100) - 200;
    return corrected(x, pacbarray[2 * entry], pacbarray[2 * entry + 1]);
}

double my_back_correction(int a, int b, double x) {
    if (x == 0.0) return x;
    const double d = a >= 121 ? 100.0 : a;
    const double e = b > 100 ? 100.0 : b;
    const double p = 0.0009286652 * d - 0.2201634 + 0.002635851 * e + 1.031336e-6 * d * e - 2.97012e-6 * d * d -
                     1.520833e-5 * e * e;
    const double q = 0.001098 * d - 0.1419 - 0.002912 * e - 1.968e-6 * d * e - 2.008e-6 * d * d + 1.562e-5 * e * e;
    return corrected(x, p, q);
}
