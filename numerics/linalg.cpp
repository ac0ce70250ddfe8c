// Dot product and Cholesky factorisation in their classic single-precision forms.
#include "numerics/linalg.h"

#include <cmath>

float sdot(long n, float* sx, long incx, float* sy, long incy) {
    float stemp = 0.0f;
    if (n <= 0) {
        return stemp;
    }
    if (incx == 1 && incy == 1) {
        // Unrolled by five after the remainder, as in the reference kernel.
        const long m = n % 5;
        for (long i = 0; i < m; ++i) {
            stemp += sx[i] * sy[i];
        }
        if (n < 5) {
            return stemp;
        }
        for (long i = m; i < n; i += 5) {
            stemp += sx[i] * sy[i] + sx[i + 1] * sy[i + 1] + sx[i + 2] * sy[i + 2] + sx[i + 3] * sy[i + 3] +
                     sx[i + 4] * sy[i + 4];
        }
        return stemp;
    }
    long ix = incx < 0 ? (1 - n) * incx : 0;
    long iy = incy < 0 ? (1 - n) * incy : 0;
    for (long i = 0; i < n; ++i) {
        stemp += sx[ix] * sy[iy];
        ix += incx;
        iy += incy;
    }
    return stemp;
}

void spofa(float* a, long lda, long n, long* info) {
    for (long j = 0; j < n; ++j) {
        *info = j + 1;
        float s = 0.0f;
        float* column_j = a + j * lda;
        for (long k = 0; k < j; ++k) {
            float* column_k = a + k * lda;
            float t = column_j[k] - sdot(k, column_k, 1, column_j, 1);
            t /= column_k[k];
            column_j[k] = t;
            s += t * t;
        }
        s = column_j[j] - s;
        if (s <= 0.0f) {
            return;
        }
        column_j[j] = std::sqrt(s);
    }
    *info = 0;
}
