// Multivariate normal draws of the seeded variate library: packing of the mean and the
// Cholesky factor, and one draw from the packed form.
#include "numerics/variates.h"

#include <cstdio>

#include "numerics/fatal_error.h"
#include "numerics/linalg.h"

using namespace vorlan2;

void setgmn(float* meanv, float* covm, long p, float* parm) {
    if (p <= 0) {
        std::fputs("P nonpositive in SETGMN", stderr);
        std::fprintf(stderr, "Value of P: %12ld\n", p);
        numerics_fatal("");
    }
    parm[0] = static_cast<float>(p);
    for (long i = 1; i <= p; ++i) {
        parm[i] = meanv[i - 1];
    }
    long info;
    spofa(covm, p, p, &info);
    if (info != 0) {
        std::fputs(" COVM not positive definite in SETGMN", stderr);
        numerics_fatal("");
    }
    // Rows of the upper factor R, each from its diagonal element to column p.
    long icount = p + 1;
    for (long i = 1; i <= p; ++i) {
        for (long j = i; j <= p; ++j) {
            parm[icount] = covm[(i - 1) + (j - 1) * p];
            ++icount;
        }
    }
}

void genmn(float* parm, float* x, float* work) {
    const long p = static_cast<long>(parm[0]);
    for (long i = 0; i < p; ++i) {
        work[i] = snorm();
    }
    for (long i = 1; i <= p; ++i) {
        // R(j, i) sits after the mean and rows 1 ... j - 1 of R, at offset i - j in row j.
        float ae = 0.0f;
        long row_start = p + 1;
        for (long j = 1; j <= i; ++j) {
            ae += parm[row_start + (i - j)] * work[j - 1];
            row_start += p - j + 1;
        }
        x[i - 1] = ae + parm[i];
    }
}
