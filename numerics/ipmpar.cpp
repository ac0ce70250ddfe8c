// Machine-parameter table for IEEE double arithmetic with 32-bit integers,
// and the double-precision constants derived from it.
#include "numerics/ipmpar.h"

#include <cmath>

#include "numerics/fatal_error.h"

using namespace vorlan2;

namespace {

int imach[11];

// Working values of spmpar.
double b, binv, bm1, one, w, z;
int emax, emin, ibeta, m;

}  // namespace

int ipmpar(int* i) {
    imach[1] = 2;
    imach[2] = 31;
    imach[3] = 2147483647;
    imach[4] = 2;
    imach[5] = 24;
    imach[6] = -125;
    imach[7] = 128;
    imach[8] = 53;
    imach[9] = -1021;
    imach[10] = 1024;
    if (*i < 1 || *i > 10) {
        numerics_fatal("ipmpar: index " + std::to_string(*i) + " outside 1 to 10");
    }
    return imach[*i];
}

double spmpar(int* i) {
    int K1 = 4;
    int K2 = 8;
    int K3 = 9;
    int K4 = 10;
    if (*i <= 1) {
        b = ipmpar(&K1);
        m = ipmpar(&K2);
        return std::pow(b, static_cast<double>(1 - m));
    }
    if (*i == 2) {
        b = ipmpar(&K1);
        emin = ipmpar(&K3);
        one = 1.0;
        binv = one / b;
        w = std::pow(b, static_cast<double>(emin + 2));
        return w * binv * binv * binv;
    }
    ibeta = ipmpar(&K1);
    m = ipmpar(&K2);
    emax = ipmpar(&K4);
    b = ibeta;
    bm1 = ibeta - 1;
    one = 1.0;
    z = std::pow(b, static_cast<double>(m - 1));
    w = ((z - one) * b + bm1) / (b * z);
    z = std::pow(b, static_cast<double>(emax - 2));
    return w * z * b * b;
}
