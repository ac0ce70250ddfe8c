// Asymptotic expansions of the incomplete beta ratio I_x(a, b) for large
// parameters, and the incomplete gamma ratio that one of them is built on.
#pragma once

// Expansion for large a and b <= 1; its value is added to w. ierr = 1 (w
// untouched) when the expansion cannot be formed, else 0.
void bgrat(double* a, double* b, double* x, double* y, double* w, double* eps, int* ierr);

// Expansion for large a and b; lambda = (a + b) y - b.
double basym(double* a, double* b, double* lambda, double* eps);

// p = P(a, x), q = Q(a, x) for a <= 1, given r = exp(-x) x^a / Gamma(a).
void grat1(double* a, double* x, double* r, double* p, double* q, double* eps);
