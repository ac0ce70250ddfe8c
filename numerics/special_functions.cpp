// The gamma-function helpers of the incomplete gamma ratio: gam1, rlog,
// rexp, exparg and the gamma function itself.
#include "numerics/special_functions.h"

#include <cmath>

#include "numerics/ipmpar.h"

double gam1(double* a) {
    // Rational approximations of 1/Gamma(1 + t) - 1 on [0, 0.5] (p/q) and on
    // [-0.5, 0) (r/s); highest degree last.
    static const double p[7] = {0.577215664901533,  -0.409078193005776,   -0.230975380857675,  0.0597275330452234,
                                0.0076696818164949, -0.00514889771323592, 0.000589597428611429};
    static const double q[5] = {1.0, 0.427569613095214, 0.158451672430138, 0.0261132021441447, 0.00423244297896961};
    static const double r[9] = {-0.422784335098468,  -0.771330383816272,   -0.244757765222226,
                                0.118378989872749,   0.000930357293360349, -0.0118290993445146,
                                0.00223047661158249, 0.000266505979058923, -0.000132674909766242};
    static const double s1 = 0.273076135303957;
    static const double s2 = 0.0559398236957378;

    double t = *a;
    double d = *a - 0.5;
    if (d > 0.0) {
        t = d - 0.5;
    }
    if (t == 0.0) {
        return 0.0;
    }
    if (t > 0.0) {
        double top = (((((p[6] * t + p[5]) * t + p[4]) * t + p[3]) * t + p[2]) * t + p[1]) * t + p[0];
        double bot = (((q[4] * t + q[3]) * t + q[2]) * t + q[1]) * t + 1.0;
        double w = top / bot;
        if (d > 0.0) {
            return t / *a * (w - 0.5 - 0.5);
        }
        return *a * w;
    }
    double top = (((((((r[8] * t + r[7]) * t + r[6]) * t + r[5]) * t + r[4]) * t + r[3]) * t + r[2]) * t + r[1]) * t +
                 r[0];
    double bot = (s2 * t + s1) * t + 1.0;
    double w = top / bot;
    if (d > 0.0) {
        return t * w / *a;
    }
    return *a * (w + 0.5 + 0.5);
}

double rlog(double* x) {
    static const double a = 0.0566749439387324;
    static const double b = 0.0456512608815524;
    static const double p0 = 0.333333333333333;
    static const double p1 = -0.224696413112536;
    static const double p2 = 0.00620886815375787;
    static const double q1 = -1.27408923933623;
    static const double q2 = 0.354508718369557;

    if (*x < 0.61 || *x > 1.57) {
        double r = *x - 0.5 - 0.5;
        return r - std::log(*x);
    }
    double u;
    double w1;
    if (*x < 0.82) {
        u = (*x - 0.7) / 0.7;
        w1 = a - u * 0.3;
    } else if (*x > 1.18) {
        u = 0.75 * *x - 1.0;
        w1 = b + u / 3.0;
    } else {
        u = *x - 0.5 - 0.5;
        w1 = 0.0;
    }
    double r = u / (u + 2.0);
    double t = r * r;
    double w = ((p2 * t + p1) * t + p0) / ((q2 * t + q1) * t + 1.0);
    return 2.0 * t * (1.0 / (1.0 - r) - r * w) + w1;
}

double rexp(double* x) {
    static const double p1 = 9.14041914819518e-10;
    static const double p2 = 0.0238082361044469;
    static const double q1 = -0.499999999085958;
    static const double q2 = 0.107141568980644;
    static const double q3 = -0.0119041179760821;
    static const double q4 = 0.000595130811860248;

    if (std::fabs(*x) <= 0.15) {
        return *x * (((p2 * *x + p1) * *x + 1.0) / ((((q4 * *x + q3) * *x + q2) * *x + q1) * *x + 1.0));
    }
    double w = std::exp(*x);
    if (*x > 0.0) {
        return w * (0.5 + (0.5 - 1.0 / w));
    }
    return w - 0.5 - 0.5;
}

double exparg(int* l) {
    static const double lnb_2 = 0.69314718055995;
    static const double lnb_8 = 2.0794415416798;
    static const double lnb_16 = 2.7725887222398;
    int K_base = 4;
    int K_emin = 9;
    int K_emax = 10;

    int b = ipmpar(&K_base);
    double lnb;
    if (b == 2) {
        lnb = lnb_2;
    } else if (b == 8) {
        lnb = lnb_8;
    } else if (b == 16) {
        lnb = lnb_16;
    } else {
        lnb = std::log(static_cast<double>(b));
    }
    int m;
    if (*l == 0) {
        m = ipmpar(&K_emax);
    } else {
        m = ipmpar(&K_emin) - 1;
    }
    return 0.99999 * (m * lnb);
}

double Xgamm(double* a) {
    static const double d = 0.41893853320467274178;
    static const double pi = 3.1415926535898;
    static const double r1 = 0.000820756370353826;
    static const double r2 = -0.000595156336428591;
    static const double r3 = 0.000793650663183693;
    static const double r4 = -0.00277777777770481;
    static const double r5 = 0.0833333333333333;
    // Gamma(1 + x) = top(x) / bot(x) on [0, 1); highest degree first.
    static const double p[7] = {0.000539637273585445,
                                0.0026193926004269,
                                0.020449366759492,
                                0.0730981088720487,
                                0.279648642639792,
                                0.553413866010467,
                                1.0};
    static const double q[7] = {-0.000832979206704073,
                                0.00470059485860584,
                                0.022521113103534,
                                -0.17045896931336,
                                -0.056790276197494,
                                1.13062953091122,
                                1.0};
    int K_largest = 3;
    int K_overflow = 0;

    double x = *a;
    if (std::fabs(*a) < 15.0) {
        double t = 1.0;
        if (*a >= 1.0) {
            long m = static_cast<long>(*a) - 1;
            for (long j = 1; j <= m; ++j) {
                x -= 1.0;
                t = x * t;
            }
            x -= 1.0;
        } else {
            t = *a;
            if (*a <= 0.0) {
                // Shift up by k = 1 - trunc(a) so that x lands in [0, 1).
                long m = -static_cast<long>(std::trunc(*a));
                for (long j = 1; j <= m; ++j) {
                    x += 1.0;
                    t = x * t;
                }
                x += 0.5 + 0.5;
                t = x * t;
                if (t == 0.0) {
                    return 0.0;
                }
            }
            if (std::fabs(t) < 1.0e-30) {
                if (std::fabs(t) * spmpar(&K_largest) <= 1.0001) {
                    return 0.0;
                }
                return 1.0 / t;
            }
        }
        double top = p[0];
        double bot = q[0];
        for (int i = 1; i < 7; ++i) {
            top = p[i] + x * top;
            bot = q[i] + x * bot;
        }
        double g = top / bot;
        if (*a < 1.0) {
            return g / t;
        }
        return g * t;
    }

    if (std::fabs(*a) >= 1000.0) {
        return 0.0;
    }
    double s = 0.0;
    if (*a <= 0.0) {
        x = -*a;
        long n = static_cast<long>(x);
        double t = x - static_cast<double>(n);
        if (t > 0.9) {
            t = 1.0 - t;
        }
        s = std::sin(pi * t) / pi;
        if (n % 2 == 0) {
            s = -s;
        }
        if (s == 0.0) {
            return 0.0;
        }
    }
    double t = 1.0 / (x * x);
    double g = ((((r1 * t + r2) * t + r3) * t + r4) * t + r5) / x;
    double lnx = std::log(x);
    g = d + g + (x - 0.5) * (lnx - 1.0);
    double w = g;
    g -= w;
    if (w > 0.99999 * exparg(&K_overflow)) {
        return 0.0;
    }
    double result = std::exp(w) * (1.0 + g);
    if (*a < 0.0) {
        result = 1.0 / (result * s) / x;
    }
    return result;
}
