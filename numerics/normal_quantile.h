// Normal quantile with its starting value, and the starting value of the t
// quantile.
#ifndef VORLAN2_NUMERICS_NORMAL_QUANTILE_H
#define VORLAN2_NUMERICS_NORMAL_QUANTILE_H

// z with Phi(z) = p (q = 1 - p given separately).
double dinvnr(double* p, double* q);

// Rational starting approximation of the normal quantile of p.
double stvaln(double* p);

// Starting approximation of the t quantile with df degrees of freedom.
double dt1(double* p, double* q, double* df);

#endif
