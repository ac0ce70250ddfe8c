// Normal quantile with its starting value, and the starting value of the t
// quantile.
#pragma once

// z with Phi(z) = p (q = 1 - p given separately).
double dinvnr(double* p, double* q);

// Rational starting approximation of the normal quantile of p.
double stvaln(double* p);

// Starting approximation of the t quantile with df degrees of freedom.
double dt1(double* p, double* q, double* df);
