// Series and continued-fraction evaluations of the incomplete beta ratio
// I_x(a, b), each for the region of (a, b, x) where it converges fast.
#pragma once

// Power series for I_x(a, b); for b <= 1 or b x <= 0.7.
double bpser(double* a, double* b, double* x, double* eps);

// I_x(a, b) - I_x(a + n, b) for a positive whole number n (y = 1 - x).
double bup(double* a, double* b, double* x, double* y, int* n, double* eps);

// Continued fraction for I_x(a, b) for a, b > 1; lambda = (a + b) y - b.
double bfrac(double* a, double* b, double* x, double* y, double* lambda, double* eps);

// I_x(a, b) for a <= eps min(1, b), b x <= 1 and x <= 0.5.
double apser(double* a, double* b, double* x, double* eps);

// I_x(a, b) for b < eps min(1, a) and x <= 0.5.
double fpser(double* a, double* b, double* x, double* eps);
