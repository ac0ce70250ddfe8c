// Normal distribution function with closed-form inversion for the
// statistic, the mean and the standard deviation.
#pragma once

// which = 1: p, q from x, mean, sd; 2: x; 3: mean; 4: sd. status 0 on
// success, otherwise status and bound name the failed argument or limit;
// 10 (bound untouched): x or the mean, as an input, is NaN.
// Writes "in cdfnor" and a line end to standard output at every call.
void cdfnor(int* which, double* p, double* q, double* x, double* mean, double* sd, int* status, double* bound);

// Standard normal distribution: cum = Phi(arg), ccum = 1 - Phi(arg), each
// computed directly so that both tails keep full relative precision.
void cumnor(double* arg, double* cum, double* ccum);
