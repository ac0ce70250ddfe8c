// Small special functions behind the incomplete gamma ratio (and reused by
// the other distribution functions).
#pragma once

// 1/Gamma(a + 1) - 1 for -0.5 <= a <= 1.5.
double gam1(double* a);

// x - 1 - ln(x).
double rlog(double* x);

// exp(x) - 1.
double rexp(double* x);

// The error function erf(x).
double erf1(double* x);

// ind = 0: erfc(x); otherwise exp(x*x) * erfc(x).
double erfc1(int* ind, double* x);

// l = 0: largest w with exp(w) finite; otherwise the most negative w with
// exp(w) a non-zero normal number.
double exparg(int* l);

// Gamma(a); 0 when it overflows or a is a pole.
double Xgamm(double* a);
