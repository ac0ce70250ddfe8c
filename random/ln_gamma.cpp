// Log-gamma by Stirling's series, a Lanczos rational form and Taylor series
// about 1 and 2, with reflection below 0.9; and gamma by the same Lanczos form.
#include "random/ln_gamma.h"

#include <cmath>

#include <myexcept.h>

#include "random/ranvar_error.h"

using namespace vorlan2;

namespace {

const double pi = 3.141592653589793;

// (x + 1)(x + 2)...(x + 10), coefficients of x^0 ... x^10.
const long double lanczos_denominator[11] = {3628800.0L, 10628640.0L, 12753576.0L, 8409500.0L, 3416930.0L, 902055.0L,
                                             157773.0L,  18150.0L,    1320.0L,     55.0L,      1.0L};

// Numerator of the Lanczos factor, coefficients of x^0 ... x^10.
const long double lanczos_numerator[11] = {
    1846356.774800897077625L,  1759131.712935803984806L,   754212.4083269936035663L,    191621.9552338091802426L,
    31949.65924862382624916L,  3652.838209061050933624L,   290.0228320454639341641L,    15.78981962865355560648L,
    0.5641459674163460851284L, 0.01194433680111809311756L, 0.0001138007476089060170930L};

// Taylor coefficients of ln gamma about 2, of t^1 ... t^15.
const long double series_about_2[15] = {
    0.4227843350984671393837L,       0.3224670334241132182388L,      -0.06735230105319809513201L,
    0.02058080842778454787973L,      -0.007385551028673985265976L,   0.002890510330741523285005L,
    -0.001192753911703260977145L,    0.0005096695247430424225047L,   -0.0002231536473424682688800L,
    0.00009945751278180853399789L,   -0.00004492623673813314182099L, 0.00002050721277567069166728L,
    -0.000009439488275268396154358L, 0.000004374866789907487857177L, -0.000002039215753801366000062L};

// Taylor coefficients of ln gamma about 1, of t^1 ... t^20.
const long double series_about_1[20] = {
    -0.5772156649015328606163L,  0.8224670334241132182117L,       -0.4006856343865314284676L,
    0.2705808084277845478797L,   -0.2073855510286739852594L,      0.1695571769974081899492L,
    -0.1440498967688461181191L,  0.1255096695247430424230L,       -0.1113342647584535793773L,
    0.1000994575127818085391L,   -0.09095401714582904222864L,     0.08335384054610900402666L,
    -0.07693251641135219147637L, 0.07143294629536133606202L,      -0.06666870588242046803560L,
    0.06250095514121304073876L,  -0.05882397865868458234007L,     0.05555576762740361110619L,
    -0.05263167937961666073055L, 1.000000953962033872747L / 20.0L};

// Sum of c[k] t^(k+1) by Horner's rule, highest power first.
template <int N>
long double series_without_constant(const long double (&c)[N], double t) {
    long double lt = t;
    long double sum = c[N - 1];
    for (int k = N - 2; k >= 0; --k) sum = sum * lt + c[k];
    return sum * lt;
}

long double series_1(double x) { return series_without_constant(series_about_1, x - 1.0); }

long double series_2(double x) { return series_without_constant(series_about_2, x - 2.0); }

long double stirling(double x) {
    long double lx = x;
    long double x2 = lx * lx;
    return (lx - 0.5L) * std::log(lx) - lx + 0.9189385332046727416946L +
           (((-0.0005952380952380952381083L / x2 + 0.0007936507936507936507935L) / x2 - 0.002777777777777777777698L) /
                x2 +
            0.08333333333333333333559L) /
               lx;
}

// Whether the ceiling m of a negative-side argument is odd: then gamma is
// positive on (m - 1, m).
bool ceiling_is_odd(double m) { return std::fabs(std::ceil(m / 2.0) - m / 2.0) > 0.25; }

}  // namespace

long double gamma_series(long double x) {
    long double numerator, denominator;
    if (x < 10.0L) {
        numerator = lanczos_numerator[10];
        denominator = lanczos_denominator[10];
        for (int k = 9; k >= 0; --k) {
            numerator = numerator * x + lanczos_numerator[k];
            denominator = denominator * x + lanczos_denominator[k];
        }
    } else {
        long double y = 1.0L / x;
        numerator = lanczos_numerator[0];
        denominator = lanczos_denominator[0];
        for (int k = 1; k <= 10; ++k) {
            numerator = numerator * y + lanczos_numerator[k];
            denominator = denominator * y + lanczos_denominator[k];
        }
    }
    return numerator / denominator;
}

double ln_gamma_lanczos(double x) {
    long double lx = x;
    return std::log(gamma_series(lx - 1.0L)) + (std::log(lx + 10.0L - 0.5L) - 1.0L) * (lx - 0.5L);
}

double ln_gamma_gt_1(double x) {
    RBD_COMMON::Tracer trace("ln_gamma_gt_1 ");
    if (x >= 100.0) return stirling(x);
    if (x >= 2.1) return ln_gamma_lanczos(x);
    if (x >= 1.9) return series_2(x);
    if (x >= 1.1) return ln_gamma_lanczos(x);
    if (x >= 0.9) return series_1(x);
    throw_invalid_argument("Argument less than 1");
}

double ln_gamma(double x, int& sign) {
    RBD_COMMON::Tracer trace("ln_gamma(sign)");
    if (x >= 2.1) {
        sign = 1;
        return ln_gamma_gt_1(x);
    }
    if (x >= 1.9) {
        sign = 1;
        return series_2(x);
    }
    if (x >= 1.1) {
        sign = 1;
        return ln_gamma_gt_1(x);
    }
    if (x >= 0.9) {
        sign = 1;
        return series_1(x);
    }
    // Reflection: gamma(x) = pi (1 - x) / (sin(pi x) gamma(2 - x)).
    double m = std::ceil(x);
    sign = ceiling_is_odd(m) ? 1 : -1;
    if (m - x == 0.0) throw_invalid_argument("Non-positive integer argument ");
    return std::log((1.0 - x) * pi / std::sin((m - x) * pi)) - ln_gamma_gt_1(2.0 - x);
}

double ln_gamma(double x) {
    RBD_COMMON::Tracer trace("ln_gamma");
    int sign;
    double value = ln_gamma(x, sign);
    if (sign < 0) throw_invalid_argument("Negative gamma value ");
    return value;
}

double rbd_gamma(double x) {
    RBD_COMMON::Tracer trace("rbd_gamma");
    if (x >= 1.0) {
        long double lx = x;
        return gamma_series(lx - 1.0L) * std::pow((lx + 10.0L - 0.5L) / 2.718281828459045L, lx - 0.5L);
    }
    double m = std::ceil(x);
    if (m - x == 0.0) throw_invalid_argument("Non-positive integer argument ");
    double r = pi * (1.0 - x) / std::sin((m - x) * pi) / rbd_gamma(2.0 - x);
    return ceiling_is_odd(m) ? r : -r;
}
