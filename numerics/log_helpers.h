// Logarithm and exponential helpers of the incomplete beta ratio that stay
// accurate near the points where the plain library calls lose digits.
#pragma once

// ln(1 + a).
double alnrel(double* a);

// ln(1 + a); the name under which the double-precision routines call alnrel.
double dln1px(double* a);

// ln(1 - x).
double dln1mx(double* x);

// x - ln(1 + x).
double rlog1(double* x);

// exp(x) - 1.
double dexpm1(double* x);

// exp(mu + x), without overflowing in the intermediate product.
double esum(int* mu, double* x);
