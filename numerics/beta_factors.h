// The leading factor x^a y^b / B(a, b) of the incomplete beta series and
// continued fraction, computed without needless overflow or underflow.
#pragma once

// x^a y^b / B(a, b), with y = 1 - x.
double brcomp(double* a, double* b, double* x, double* y);

// exp(mu) x^a y^b / B(a, b), with y = 1 - x.
double brcmp1(int* mu, double* a, double* b, double* x, double* y);
