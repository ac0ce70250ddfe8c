// The digamma function by rational approximations: reflection below 0.5, a
// rational function about the positive zero up to 3, an asymptotic form above.
#include "numerics/psi.h"

#include <cmath>

#include "numerics/ipmpar.h"

double psi(double* xx) {
    const double piov4 = 0.785398163397448e0;
    // The positive zero of psi.
    const double dx0 = 1.461632144968362341262659542325721325e0;
    const double p1[7] = {0.895385022981970e-02, 0.477762828042627e+01, 0.142441585084029e+03, 0.118645200713425e+04,
                          0.363351846806499e+04, 0.413810161269013e+04, 0.130560269827897e+04};
    const double q1[6] = {0.448452573429826e+02, 0.520752771467162e+03, 0.221000799247830e+04,
                          0.364127349079381e+04, 0.190831076596300e+04, 0.691091682714533e-05};
    const double p2[4] = {-0.212940445131011e+01, -0.701677227766759e+01, -0.448616543918019e+01,
                          -0.648157123766197e+00};
    const double q2[4] = {0.322703493791143e+02, 0.892920700481861e+02, 0.546117738103215e+02, 0.777788548522962e+01};
    int precision = 1;
    // From xmax1 = 2^52 on every double is a whole number, so a negative one
    // is a pole, and the correction to ln x is below half a unit of it. (The
    // published routine stops at the largest int, whose conversion it uses
    // for the reduction; the reduction below is exact in doubles, and 0.5/x
    // is far from negligible there.)
    const double xmax1 = 1.0 / spmpar(&precision);
    const double xsmall = 1.0e-9;

    double x = *xx;
    double aug = 0.0;
    if (x < 0.5) {
        if (std::fabs(x) <= xsmall) {
            if (x == 0.0) {
                return 0.0;
            }
            // psi(x) = psi(1 - x) - pi cot(pi x), with cot(pi x) about 1/(pi x).
            aug = -1.0 / x;
        } else {
            // Reflection: aug = -pi cot(pi x), computed from the fractional
            // part of 4x to keep full accuracy near the poles.
            double w = -x;
            double sgn = piov4;
            if (w <= 0.0) {
                w = -w;
                sgn = -sgn;
            }
            if (w >= xmax1) {
                return 0.0;
            }
            w -= std::trunc(w);
            int nq = static_cast<int>(w * 4.0);
            w = 4.0 * (w - static_cast<double>(nq) * 0.25);
            int n = nq / 2;
            if (n + n != nq) {
                w = 1.0 - w;
            }
            const double z = piov4 * w;
            int m = n / 2;
            if (m + m != n) {
                sgn = -sgn;
            }
            n = (nq + 1) / 2;
            m = n / 2;
            m += m;
            if (m != n) {
                aug = sgn * (std::sin(z) / std::cos(z) * 4.0);
            } else {
                if (z == 0.0) {
                    return 0.0;
                }
                aug = sgn * (std::cos(z) / std::sin(z) * 4.0);
            }
        }
        x = 1.0 - x;
    }
    if (x <= 3.0) {
        double den = x;
        double upper = p1[0] * x;
        for (int i = 1; i <= 5; ++i) {
            den = (den + q1[i - 1]) * x;
            upper = (upper + p1[i]) * x;
        }
        den = (upper + p1[6]) / (den + q1[5]);
        const double xmx0 = x - dx0;
        return den * xmx0 + aug;
    }
    if (x < xmax1) {
        const double w = 1.0 / (x * x);
        double den = w;
        double upper = p2[0] * w;
        for (int i = 1; i <= 3; ++i) {
            den = (den + q2[i - 1]) * w;
            upper = (upper + p2[i]) * w;
        }
        aug = upper / (den + q2[3]) - 0.5 / x + aug;
    }
    return aug + std::log(x);
}
