// Negative binomial distribution function (failures before the xn-th
// success) with inversion for the count, xn and the success probability.
#pragma once

// which = 1: p, q from s, xn, pr, ompr; 2: s; 3: xn; 4: pr, ompr. p =
// P(at most s failures before success number xn); s and xn may be any
// non-negative reals. status 0 on success; otherwise status and bound name
// the failed argument or limit; 10: the incomplete beta ratio failed or the
// search closed in on no root.
void cdfnbn(int* which, double* p, double* q, double* s, double* xn, double* pr, double* ompr, int* status,
            double* bound);

// Negative binomial: cum = P(X <= s) failures before the xn-th success.
void cumnbn(double* s, double* xn, double* pr, double* ompr, double* cum, double* ccum);
