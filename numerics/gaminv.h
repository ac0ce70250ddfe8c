// Inverse of the incomplete gamma ratio, and the factor exp(-x) x^a / Gamma(a)
// that it and the gamma series share.
#ifndef VORLAN2_NUMERICS_GAMINV_H
#define VORLAN2_NUMERICS_GAMINV_H

// x with P(a, x) = p and Q(a, x) = q; x0 > 0 is an initial guess, x0 <= 0
// means none. ierr: 0 (closed form, no iteration) or the number of
// iterations on success; -2 a <= 0 or NaN; -3 no solution obtained (it lies
// below the smallest positive double); -4 p, q not a pair of probabilities
// summing to 1; -6 twenty iterations without convergence, x the last value;
// -7 the iteration left the positive numbers, no value; -8 x obtained but
// its accuracy cannot be ensured (the incomplete gamma ratio cannot resolve
// it).
void gaminv(double* a, double* x, double* x0, double* p, double* q, int* ierr);

// exp(-x) x^a / Gamma(a).
double rcomp(double* a, double* x);

#endif
