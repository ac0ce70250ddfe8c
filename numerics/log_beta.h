// Logarithms of the gamma and beta functions, and the pieces of them that
// the incomplete beta ratio needs separately.
#pragma once

// ln Gamma(1 + a) for -0.2 <= a <= 1.25.
double gamln1(double* a);

// ln Gamma(a) for a > 0.
double gamln(double* a);

// ln Gamma(a) for a > 0; the name under which the double-precision routines
// call gamln.
double dlngam(double* a);

// ln Gamma(a + b) for 1 <= a, b <= 2.
double gsumln(double* a, double* b);

// ln(Gamma(b) / Gamma(a + b)) for b >= 8.
double algdiv(double* a, double* b);

// del(a) + del(b) - del(a + b) for a, b >= 8, where
// del(x) = ln Gamma(x) - (x - 0.5) ln x + x - 0.5 ln(2 pi).
double bcorr(double* a0, double* b0);

// ln B(a, b) for a, b > 0.
double betaln(double* a0, double* b0);

// ln B(a, b); the name under which the double-precision routines call betaln.
double dlnbet(double* a0, double* b0);
