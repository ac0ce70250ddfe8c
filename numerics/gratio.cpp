// Incomplete gamma function ratios P(a, x) and Q(a, x) by the method of
// DiDonato and Morris: finite sums, series, continued fraction, asymptotic
// series and Temme's uniform expansion, chosen by region.
#include "numerics/gratio.h"

#include <cmath>

#include "numerics/ipmpar.h"
#include "numerics/log_helpers.h"
#include "numerics/special_functions.h"

namespace {

// Accuracy tables indexed by iop - 1.
const double acc0[3] = {5.0e-15, 5.0e-7, 5.0e-4};
const double big[3] = {20.0, 14.0, 10.0};
const double e00[3] = {2.5e-4, 0.025, 0.14};
const double x00[3] = {31.0, 17.0, 9.7};

const double alog10 = 2.30258509299405;
// From this a |1 - x/a| on, the large-shape method forms 1 - x/a from a - x.
const double deep_in_a_tail = 256.0;
const double rt2pin = 0.398942280401433;
const double rtpi = 1.77245385090552;
const double third = 0.333333333333333;

// Coefficients of Temme's expansion: D0 ... D6 in powers of z, the Dk0
// being the constant terms of the k-th coefficient.
const double d0[13] = {0.0833333333333333,        -0.0148148148148148,      0.00115740740740741,
                       0.000352733686067019,      -0.000178755144032922,    0.0000391926317852244,
                       -0.00000218544851067999,   -0.00000185406221071516,  0.000000829671134095309,
                       -0.000000176659527368261,  0.0000000067078535434015, 0.0000000102618097842403,
                       -0.00000000438203601845335};
const double d10 = -0.00185185185185185;
const double d1[12] = {-0.00347222222222222,    0.00264550264550265,      -0.00099022633744856,
                       0.000205761316872428,    -0.000000401877572016461, -0.0000180985503344900,
                       0.00000764916091608111,  -0.00000161209008945634,  0.00000000464712780280743,
                       0.000000137863344691572, -0.000000057525456035177, 0.0000000119516285997781};
const double d20 = 0.00413359788359788;
const double d2[10] = {-0.00268132716049383,     0.000771604938271605,   0.00000200938786008230,
                       -0.000107366532263652,    0.0000529234488291201,  -0.0000127606351886187,
                       0.0000000342357873409614, 0.00000137219573090629, -0.000000629899213838006,
                       0.000000142806142060642};
const double d30 = 0.000649434156378601;
const double d3[8] = {0.000229472093621399,     -0.000469189494395256, 0.000267720632062839,    -0.0000756180167188398,
                      -0.000000239650511386730, 0.0000110826541153473, -0.00000567495282699160, 0.00000142309007324359};
const double d40 = -0.000861888290916712;
const double d4[6] = {0.000784039221720067,  -0.000299072480303190,  -0.00000146384525788434,
                      0.0000664149821546512, -0.0000396836504717943, 0.0000113757269706784};
const double d50 = -0.000336798553366358;
const double d5[4] = {-0.0000697281375836586, 0.000277275324495939, -0.000199325705161888, 0.0000679778047793721};
const double d60 = 0.000531307936463992;
const double d6[2] = {-0.000592166437353694, 0.000270878209671804};
const double d70 = 0.000344367606892378;

// Working values.
double wk[20];
double acc, e, e0, x0, r, t, sum, tol;
int iop;

// Horner evaluation of c[n-1] z^n + ... + c[0] z + constant.
double temme_coefficient(const double* c, int n, double z, double constant) {
    double value = c[n - 1];
    for (int k = n - 2; k >= 0; --k) {
        value = value * z + c[k];
    }
    return value * z + constant;
}

// Temme's correction term with the short coefficient prefixes.
double temme_short(double z, double u) {
    double c0 = temme_coefficient(d0, 7, z, -third);
    double c1 = temme_coefficient(d1, 6, z, d10);
    double c2 = temme_coefficient(d2, 5, z, d20);
    double c3 = temme_coefficient(d3, 4, z, d30);
    double c4 = temme_coefficient(d4, 2, z, d40);
    double c5 = temme_coefficient(d5, 2, z, d50);
    double c6 = temme_coefficient(d6, 1, z, d60);
    return ((((((d70 * u + c6) * u + c5) * u + c4) * u + c3) * u + c2) * u + c1) * u + c0;
}

// Temme's correction term with every coefficient.
double temme_full(double z, double u) {
    double c0 = temme_coefficient(d0, 13, z, -third);
    double c1 = temme_coefficient(d1, 12, z, d10);
    double c2 = temme_coefficient(d2, 10, z, d20);
    double c3 = temme_coefficient(d3, 8, z, d30);
    double c4 = temme_coefficient(d4, 6, z, d40);
    double c5 = temme_coefficient(d5, 4, z, d50);
    double c6 = temme_coefficient(d6, 2, z, d60);
    return ((((((d70 * u + c6) * u + c5) * u + c4) * u + c3) * u + c2) * u + c1) * u + c0;
}

void set_zero_or_one(double a, double x, double* ans, double* qans) {
    if (x <= a) {
        *ans = 0.0;
        *qans = 1.0;
    } else {
        *ans = 1.0;
        *qans = 0.0;
    }
}

// Adds the stored terms wk[n-2], ..., wk[0] to sum, the smallest first.
void add_stored_terms(int n) {
    for (int m = n - 1; m >= 1; --m) {
        sum += wk[m - 1];
    }
}

// P by its power series, with r = x^a e^-x / Gamma(a).
void power_series(double a, double x, double* ans, double* qans) {
    double apn = a + 1.0;
    t = x / apn;
    wk[0] = t;
    int n;
    for (n = 2; n <= 20; ++n) {
        apn += 1.0;
        t *= (x / apn);
        if (t <= 1.0e-3) {
            break;
        }
        wk[n - 1] = t;
    }
    if (n > 20) {
        n = 20;
    }
    sum = t;
    tol = 0.5 * acc;
    do {
        apn += 1.0;
        t *= (x / apn);
        sum += t;
    } while (t > tol);
    add_stored_terms(n);
    *ans = r / a * (1.0 + sum);
    *qans = 0.5 + (0.5 - *ans);
}

// Q by its asymptotic series in 1/x.
void asymptotic_series(double a, double x, double* ans, double* qans) {
    double amn = a - 1.0;
    t = amn / x;
    wk[0] = t;
    int n;
    for (n = 2; n <= 20; ++n) {
        amn -= 1.0;
        t *= (amn / x);
        if (std::fabs(t) <= 1.0e-3) {
            break;
        }
        wk[n - 1] = t;
    }
    if (n > 20) {
        n = 20;
    }
    sum = t;
    while (std::fabs(t) > acc) {
        amn -= 1.0;
        t *= (amn / x);
        sum += t;
    }
    add_stored_terms(n);
    *qans = r / x * (1.0 + sum);
    *ans = 0.5 + (0.5 - *qans);
}

// Q by its continued fraction, with the factor r.
void continued_fraction(double a, double x, double* ans, double* qans) {
    tol = std::fmax(5.0 * e, acc);
    double a2nm1 = 1.0;
    double a2n = 1.0;
    double b2nm1 = x;
    double b2n = x + (1.0 - a);
    double c = 1.0;
    double am0;
    double an0;
    // Written so that a NaN convergence test ends the loop.
    do {
        a2nm1 = x * a2n + c * a2nm1;
        b2nm1 = x * b2n + c * b2nm1;
        am0 = a2nm1 / b2nm1;
        c += 1.0;
        double cma = c - a;
        a2n = a2nm1 + cma * a2n;
        b2n = b2nm1 + cma * b2n;
        an0 = a2n / b2n;
    } while (std::fabs(an0 - am0) >= tol * an0);
    *qans = r * an0;
    *ans = 0.5 + (0.5 - *qans);
}

// Finite sums for whole and half-integer a <= x < x0.
void finite_sums(double a, double x, int i, double* ans, double* qans) {
    int K_erfc = 0;
    int n;
    double c;
    if (a == static_cast<double>(i)) {
        sum = std::exp(-x);
        t = sum;
        n = 1;
        c = 0.0;
    } else {
        double rtx = std::sqrt(x);
        sum = erfc1(&K_erfc, &rtx);
        t = std::exp(-x) / (rtpi * rtx);
        n = 0;
        c = -0.5;
    }
    while (n != i) {
        n += 1;
        c += 1.0;
        t = x * t / c;
        sum += t;
    }
    *qans = sum;
    *ans = 0.5 + (0.5 - *qans);
}

// Series for a < 1 and x < 1.1.
void small_x_series(double* a, double x, double* ans, double* qans) {
    double an = 3.0;
    double c = x;
    sum = x / (*a + 3.0);
    tol = 3.0 * acc / (*a + 1.0);
    do {
        an += 1.0;
        c = -(c * (x / an));
        t = c / (*a + an);
        sum += t;
    } while (std::fabs(t) > tol);
    double j = *a * x * ((sum / 6.0 - 0.5 / (*a + 2.0)) * x + 1.0 / (*a + 1.0));
    double z = *a * std::log(x);
    double h = gam1(a);
    double g = 1.0 + h;
    bool use_rexp = x < 0.25 ? z > -0.13394 : *a < x / 2.59;
    if (use_rexp) {
        double l = rexp(&z);
        double w = 0.5 + (0.5 + l);
        *qans = (w * j - l) * g - h;
        if (*qans < 0.0) {
            *ans = 1.0;
            *qans = 0.0;
            return;
        }
        *ans = 0.5 + (0.5 - *qans);
        return;
    }
    double w = std::exp(z);
    *ans = w * g * (0.5 + (0.5 - j));
    *qans = 0.5 + (0.5 - *ans);
}

// Once r = x^a e^-x / Gamma(a) is known (a >= 1 or the large-shape case).
void with_factor(double a, double x, double* ans, double* qans) {
    if (r == 0.0) {
        set_zero_or_one(a, x, ans, qans);
    } else if (x <= std::fmax(a, alog10)) {
        power_series(a, x, ans, qans);
    } else if (x < x0) {
        continued_fraction(a, x, ans, qans);
    } else {
        asymptotic_series(a, x, ans, qans);
    }
}

// Large shape a >= big[iop]. Returns false when the expansion cannot reach
// the accuracy.
bool large_shape(double a, double x, double* ans, double* qans) {
    int K_scaled = 1;
    double l = x / a;
    if (l == 0.0) {
        *ans = 0.0;
        *qans = 1.0;
        return true;
    }
    double s = 0.5 + (0.5 - l);
    double z = rlog(&l);
    if (a * std::fabs(s) > deep_in_a_tail) {
        // Far out in a tail, where y = a z is large, the rounding of l = x/a
        // would carry an error of about a |1 - l| epsilons into y and so into
        // the result: 1 - l is taken from a - x instead (exact near x = a),
        // and z = rlog1(-(1 - l)).
        s = (a - x) / a;
        double minus_s = -s;
        z = rlog1(&minus_s);
    }
    if (z >= 700.0 / a) {
        if (std::fabs(s) <= 2.0 * e) {
            return false;
        }
        set_zero_or_one(a, x, ans, qans);
        return true;
    }
    double y = a * z;
    double rta = std::sqrt(a);
    double c;
    double w;
    if (std::fabs(s) <= e0 / rta) {
        // Transition point x = a.
        if (a * e * e > 3.28e-3) {
            return false;
        }
        c = 0.5 + (0.5 - y);
        w = (0.5 - std::sqrt(y) * (0.5 + (0.5 - y / 3.0)) / rtpi) / c;
        double u = 1.0 / a;
        z = std::sqrt(z + z);
        if (l < 1.0) {
            z = -z;
        }
        if (iop == 1) {
            t = temme_short(z, u);
        } else if (iop == 2) {
            double c0 = (d0[1] * z + d0[0]) * z - third;
            double c1 = d1[0] * z + d10;
            t = (d20 * u + c1) * u + c0;
        } else {
            t = d0[0] * z - third;
        }
    } else if (std::fabs(s) <= 0.4) {
        // Temme's uniform expansion.
        if (std::fabs(s) <= 2.0 * e && a * e * e > 3.28e-3) {
            return false;
        }
        c = std::exp(-y);
        double rty = std::sqrt(y);
        w = 0.5 * erfc1(&K_scaled, &rty);
        double u = 1.0 / a;
        z = std::sqrt(z + z);
        if (l < 1.0) {
            z = -z;
        }
        if (iop == 1) {
            t = std::fabs(s) <= 1.0e-3 ? temme_short(z, u) : temme_full(z, u);
        } else if (iop == 2) {
            double c0 = temme_coefficient(d0, 6, z, -third);
            double c1 = temme_coefficient(d1, 4, z, d10);
            double c2 = d2[0] * z + d20;
            t = (c2 * u + c1) * u + c0;
        } else {
            t = ((d0[2] * z + d0[1]) * z + d0[0]) * z - third;
        }
    } else {
        t = std::pow(1.0 / a, 2.0);
        double t1 = (((0.75 * t - 1.0) * t + 3.5) * t - 105.0) / (a * 1260.0);
        t1 -= y;
        r = rt2pin * rta * std::exp(t1);
        with_factor(a, x, ans, qans);
        return true;
    }
    t = rt2pin * t;
    if (l < 1.0) {
        *ans = c * (w - t / rta);
        *qans = 0.5 + (0.5 - *ans);
    } else {
        *qans = c * (w + t / rta);
        *ans = 0.5 + (0.5 - *qans);
    }
    return true;
}

}  // namespace

void gratio(double* a, double* x, double* ans, double* qans, int* ind) {
    int K_epsilon = 1;
    int K_erfc = 0;

    // A NaN argument is an error like a negative one.
    if (!(*a >= 0.0) || !(*x >= 0.0) || (*a == 0.0 && *x == 0.0)) {
        *ans = 2.0;
        return;
    }
    // Only a zero argument is the limit: a product a x that underflows with
    // both positive still has P = 1 - O(a ln x), which the series below give.
    if (*a == 0.0 || *x == 0.0) {
        set_zero_or_one(*a, *x, ans, qans);
        return;
    }
    if (std::isinf(*x)) {
        // Every method below would turn an infinite x into NaN.
        *ans = 1.0;
        *qans = 0.0;
        return;
    }
    e = spmpar(&K_epsilon);
    iop = *ind + 1;
    if (iop != 1 && iop != 2) {
        iop = 3;
    }
    acc = std::fmax(acc0[iop - 1], e);
    e0 = e00[iop - 1];
    x0 = x00[iop - 1];

    if (*a >= big[iop - 1]) {
        if (!large_shape(*a, *x, ans, qans)) {
            *ans = 2.0;
        }
        return;
    }
    if (*a >= 1.0) {
        if (*a <= *x && *x < x0) {
            double twoa = *a + *a;
            double m = std::floor(twoa);
            if (twoa == m) {
                finite_sums(*a, *x, static_cast<int>(m) / 2, ans, qans);
                return;
            }
        }
        double t1 = *a * std::log(*x) - *x;
        r = std::exp(t1) / Xgamm(a);
        with_factor(*a, *x, ans, qans);
        return;
    }
    if (*a == 0.5) {
        double rtx = std::sqrt(*x);
        if (*x < 0.25) {
            *ans = erf1(&rtx);
            *qans = 0.5 + (0.5 - *ans);
        } else {
            *qans = erfc1(&K_erfc, &rtx);
            *ans = 0.5 + (0.5 - *qans);
        }
        return;
    }
    if (*x < 1.1) {
        small_x_series(a, *x, ans, qans);
        return;
    }
    double t1 = *a * std::log(*x) - *x;
    double u = *a * std::exp(t1);
    if (u == 0.0) {
        *ans = 1.0;
        *qans = 0.0;
        return;
    }
    r = u * (1.0 + gam1(a));
    continued_fraction(*a, *x, ans, qans);
}
