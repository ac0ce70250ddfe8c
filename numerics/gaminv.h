// Inverse of the incomplete gamma ratio, and the factor exp(-x) x^a / Gamma(a)
// that it and the gamma series share.
#ifndef VORLAN2_NUMERICS_GAMINV_H
#define VORLAN2_NUMERICS_GAMINV_H

// x with P(a, x) = p and Q(a, x) = q; x0 > 0 is an initial guess, x0 <= 0
// means none. ierr: 0 or a positive iteration count on success; -2 a <= 0;
// -3 no solution obtained (a / x too large); -4 p + q != 1; -6 iteration
// limit reached; -7 the iteration failed (also for NaN arguments); -8 the
// requested accuracy cannot be reached.
void gaminv(double* a, double* x, double* x0, double* p, double* q, int* ierr);

// exp(-x) x^a / Gamma(a).
double rcomp(double* a, double* x);

#endif
