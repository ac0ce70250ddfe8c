// Poisson distribution function with inversion for the count and the mean.
#pragma once

// which = 1: p, q from s, xlam; 2: s; 3: xlam. p = P(X <= s); s may be any
// non-negative real. status 0 on success; otherwise status and bound name
// the failed argument or limit; 10: the forward computation failed or the
// search closed in on no root.
void cdfpoi(int* which, double* p, double* q, double* s, double* xlam, int* status, double* bound);

// Poisson with mean xlam: cum = P(X <= s), ccum = 1 - cum.
void cumpoi(double* s, double* xlam, double* cum, double* ccum);
