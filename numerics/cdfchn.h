// Non-central chi-squared distribution function with inversion for x, the
// degrees of freedom and the non-centrality.
#pragma once

// which = 1: p, q from x, df, pnonc; 2: x; 3: df; 4: pnonc. The inverse
// modes match p alone (q is neither checked nor written). The series is
// summed until the terms left out are provably negligible. status 0 on
// success; otherwise status and bound name the failed argument or limit;
// 10: the forward computation failed (pnonc or df not finite, or pnonc
// above 2^53).
void cdfchn(int* which, double* p, double* q, double* x, double* df, double* pnonc, int* status, double* bound);

// Non-central chi-squared: cum = P(X <= x) with df degrees of freedom and
// non-centrality pnonc.
void cumchn(double* x, double* df, double* pnonc, double* cum, double* ccum);
