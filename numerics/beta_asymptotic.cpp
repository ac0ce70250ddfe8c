// Asymptotic expansions of the incomplete beta ratio for large parameters:
// in terms of the incomplete gamma ratio for b <= 1, and the normal-tail
// expansion about the mean for a and b both large.
#include "numerics/beta_asymptotic.h"

#include <cmath>

#include "numerics/log_beta.h"
#include "numerics/log_helpers.h"
#include "numerics/special_functions.h"

void bgrat(double* a, double* b, double* x, double* y, double* w, double* eps, int* ierr) {
    const double bm1 = (*b - 0.5) - 0.5;
    double nu = *a + 0.5 * bm1;
    double lnx;
    if (*y > 0.375) {
        lnx = std::log(*x);
    } else {
        double minus_y = -*y;
        lnx = alnrel(&minus_y);
    }
    double z = -(nu * lnx);
    // A NaN is not a failure of the expansion: it is carried into w, so that
    // the caller sees it rather than an unchanged w. A product b z that
    // underflows is no failure either.
    if (*b == 0.0 || z == 0.0) {
        *ierr = 1;
        return;
    }
    // r = exp(-z) z^b / Gamma(b).
    double r = *b * (1.0 + gam1(b)) * std::exp(*b * std::log(z));
    r = r * std::exp(*a * lnx) * std::exp(0.5 * bm1 * lnx);
    double u = algdiv(b, a) + *b * std::log(nu);
    u = r * std::exp(-u);
    if (u == 0.0) {
        *ierr = 1;
        return;
    }
    double p;
    double q;
    grat1(b, &z, &r, &p, &q, eps);
    const double v = 0.25 * std::pow(1.0 / nu, 2.0);
    const double t2 = 0.25 * lnx * lnx;
    const double l = *w / u;
    double j = q / r;
    double sum = j;
    double t = 1.0;
    double cn = 1.0;
    double n2 = 0.0;
    double c[30];
    double d[30];
    for (int n = 1; n <= 30; ++n) {
        const double bp2n = *b + n2;
        j = (bp2n * (bp2n + 1.0) * j + (z + bp2n + 1.0) * t) * v;
        n2 += 2.0;
        t *= t2;
        cn /= n2 * (n2 + 1.0);
        c[n - 1] = cn;
        double s = 0.0;
        if (n > 1) {
            double coef = *b - n;
            for (int i = 1; i <= n - 1; ++i) {
                s += coef * c[i - 1] * d[n - i - 1];
                coef += *b;
            }
        }
        d[n - 1] = bm1 * cn + s / n;
        const double dj = d[n - 1] * j;
        sum += dj;
        if (sum <= 0.0) {
            *ierr = 1;
            return;
        }
        if (!(std::fabs(dj) > *eps * (sum + l))) {
            break;
        }
    }
    *ierr = 0;
    *w += u * sum;
}

double basym(double* a, double* b, double* lambda, double* eps) {
    // Number of terms of the expansion (even).
    const int num = 20;
    // e0 = 2/sqrt(pi), e1 = 2^(-3/2)
    const double e0 = 1.12837916709551e0;
    const double e1 = 0.353553390593274e0;
    // Indexed from 1 to num + 1, as the recurrences are written.
    double a0[num + 2];
    double b0[num + 2];
    double c[num + 2];
    double d[num + 2];
    double h;
    double r0;
    double r1;
    double w0;
    if (*a < *b) {
        h = *a / *b;
        r0 = 1.0 / (1.0 + h);
        r1 = (*b - *a) / *b;
        w0 = 1.0 / std::sqrt(*a * (1.0 + h));
    } else {
        h = *b / *a;
        r0 = 1.0 / (1.0 + h);
        r1 = (*b - *a) / *a;
        w0 = 1.0 / std::sqrt(*b * (1.0 + h));
    }
    double minus_lambda_over_a = -*lambda / *a;
    double lambda_over_b = *lambda / *b;
    const double f = *a * rlog1(&minus_lambda_over_a) + *b * rlog1(&lambda_over_b);
    double t = std::exp(-f);
    if (t == 0.0) {
        return 0.0;
    }
    double z0 = std::sqrt(f);
    const double z = 0.5 * (z0 / e1);
    const double z2 = f + f;
    a0[1] = 2.0 / 3.0 * r1;
    c[1] = -(0.5 * a0[1]);
    d[1] = -c[1];
    int scaled = 1;
    double j0 = 0.5 / e0 * erfc1(&scaled, &z0);
    double j1 = e1;
    double sum = j0 + d[1] * w0 * j1;
    double s = 1.0;
    const double h2 = h * h;
    double hn = 1.0;
    double w = w0;
    double znm1 = z;
    double zn = z2;
    for (int n = 2; n <= num; n += 2) {
        hn = h2 * hn;
        a0[n] = 2.0 * r0 * (1.0 + h * hn) / (n + 2.0);
        const int np1 = n + 1;
        s += hn;
        a0[np1] = 2.0 * r1 * s / (n + 3.0);
        for (int i = n; i <= np1; ++i) {
            const double r = -(0.5 * (i + 1.0));
            b0[1] = r * a0[1];
            for (int m = 2; m <= i; ++m) {
                double bsum = 0.0;
                for (int jj = 1; jj <= m - 1; ++jj) {
                    const int mmj = m - jj;
                    bsum += (jj * r - mmj) * a0[jj] * b0[mmj];
                }
                b0[m] = r * a0[m] + bsum / m;
            }
            c[i] = b0[i] / (i + 1.0);
            double dsum = 0.0;
            for (int jj = 1; jj <= i - 1; ++jj) {
                dsum += d[i - jj] * c[jj];
            }
            d[i] = -(dsum + c[i]);
        }
        j0 = e1 * znm1 + (n - 1.0) * j0;
        j1 = e1 * zn + n * j1;
        znm1 = z2 * znm1;
        zn = z2 * zn;
        w = w0 * w;
        const double t0 = d[n] * w * j0;
        w = w0 * w;
        const double t1 = d[np1] * w * j1;
        sum += t0 + t1;
        if (std::fabs(t0) + std::fabs(t1) <= *eps * sum) {
            break;
        }
    }
    const double u = std::exp(-bcorr(a, b));
    return e0 * t * u * sum;
}

void grat1(double* a, double* x, double* r, double* p, double* q, double* eps) {
    // As in gratio: a product that underflows is not the limit a x = 0.
    if (*a == 0.0 || *x == 0.0) {
        if (*x <= *a) {
            *p = 0.0;
            *q = 1.0;
        } else {
            *p = 1.0;
            *q = 0.0;
        }
        return;
    }
    if (*a == 0.5) {
        double rx = std::sqrt(*x);
        if (*x < 0.25) {
            *p = erf1(&rx);
            *q = 0.5 + (0.5 - *p);
        } else {
            int unscaled = 0;
            *q = erfc1(&unscaled, &rx);
            *p = 0.5 + (0.5 - *q);
        }
        return;
    }
    if (*x < 1.1) {
        // Taylor series for P(a, x) / x^a.
        double an = 3.0;
        double c = *x;
        double sum = *x / (*a + 3.0);
        const double tol = 0.1 * *eps / (*a + 1.0);
        double t;
        do {
            an += 1.0;
            c = -(c * (*x / an));
            t = c / (*a + an);
            sum += t;
        } while (std::fabs(t) > tol);
        const double j = *a * *x * ((sum / 6.0 - 0.5 / (*a + 2.0)) * *x + 1.0 / (*a + 1.0));
        double z = *a * std::log(*x);
        const double h = gam1(a);
        const double g = 1.0 + h;
        const bool q_small = *x < 0.25 ? z > -0.13394 : *a < *x / 2.59;
        if (q_small) {
            const double l = rexp(&z);
            const double w = 0.5 + (0.5 + l);
            *q = (w * j - l) * g - h;
            if (*q < 0.0) {
                *p = 1.0;
                *q = 0.0;
            } else {
                *p = 0.5 + (0.5 - *q);
            }
        } else {
            const double w = std::exp(z);
            *p = w * g * (0.5 + (0.5 - j));
            *q = 0.5 + (0.5 - *p);
        }
        return;
    }
    // Continued fraction for Q(a, x) / r.
    double a2nm1 = 1.0;
    double a2n = 1.0;
    double b2nm1 = *x;
    double b2n = *x + (1.0 - *a);
    double c = 1.0;
    double am0;
    double an0;
    do {
        a2nm1 = *x * a2n + c * a2nm1;
        b2nm1 = *x * b2n + c * b2nm1;
        am0 = a2nm1 / b2nm1;
        c += 1.0;
        const double cma = c - *a;
        a2n = a2nm1 + cma * a2n;
        b2n = b2nm1 + cma * b2n;
        an0 = a2n / b2n;
    } while (std::fabs(an0 - am0) >= *eps * an0);
    *q = *r * an0;
    *p = 0.5 + (0.5 - *q);
}
