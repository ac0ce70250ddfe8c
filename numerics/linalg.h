// Single-precision linear-algebra kernels: the level-1 dot product and the
// Cholesky factorisation of a symmetric positive-definite matrix.
#pragma once

// Sum of sx * sy over n elements taken with strides incx and incy; a negative
// stride walks its vector from the far end.
float sdot(long n, float* sx, long incx, float* sy, long incy);

// Factorises the column-major n x n matrix a (leading dimension lda) in place
// as R^T R, R upper triangular over the upper triangle of a; the strict lower
// triangle is neither read nor written. *info = 0 on success, else the order
// of the leading minor that is not positive definite.
void spofa(float* a, long lda, long n, long* info);
