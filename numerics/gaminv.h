// Inverse of the incomplete gamma ratio, and the factor exp(-x) x^a / Gamma(a)
// that it and the gamma series share.
#pragma once

// x with P(a, x) = p and Q(a, x) = q; x0 > 0 is an initial guess, x0 <= 0
// means none. ierr is the published routine's (ACM TOMS 654, GAMINV) for the
// same arguments: 0 solution without iteration (p = 0, q = 0, a = 1, or an
// approximation accepted as it is); n > 0 solution after n iterations; -2
// a <= 0 or NaN; -3 no solution (it lies below the smallest double); -4 p, q
// not a pair of probabilities summing to 1; -6 twenty iterations, x the last
// value; -7 the iteration left the positive numbers, no value; -8 a value of
// x whose accuracy cannot be ensured (the matched tail is within 1e10 of the
// smallest double, the tail or density underflows at an iterate, or x/a is
// within 2 epsilons of 1 beyond the shape the incomplete gamma ratio
// resolves). A solution, and the value given with -8, are carried to full
// precision where the tails are normal doubles.
void gaminv(double* a, double* x, double* x0, double* p, double* q, int* ierr);

// exp(-x) x^a / Gamma(a).
double rcomp(double* a, double* x);
