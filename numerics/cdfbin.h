// Binomial distribution function with inversion for the count, the number
// of trials and the success probability (with ompr = 1 - pr).
#pragma once

// which = 1: p, q from s, xn, pr, ompr; 2: s; 3: xn; 4: pr, ompr. p =
// P(X <= s) for xn trials; s and xn may be any non-negative reals. status 0
// on success; otherwise status and bound name the failed argument or limit;
// 10: the incomplete beta ratio failed or the search closed in on no root.
void cdfbin(int* which, double* p, double* q, double* s, double* xn, double* pr, double* ompr, int* status,
            double* bound);

// Binomial: cum = P(X <= s) for xn trials with success probability pr.
void cumbin(double* s, double* xn, double* pr, double* ompr, double* cum, double* ccum);
