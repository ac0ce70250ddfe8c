// Gamma distribution function (shape, and scale as the rate that multiplies
// x) with inversion for x, the shape and the scale.
#pragma once

// which = 1: p, q from x, shape, scale; 2: x; 3: shape; 4: scale. status 0
// on success; otherwise status and bound name the failed argument or limit;
// for which 2 and 4, status 1 (bound 0) or 2 (bound the largest double) when
// the solution lies below or beyond the doubles; 10: the incomplete gamma
// ratio or its inverse failed, or the search closed in on no root.
void cdfgam(int* which, double* p, double* q, double* x, double* shape, double* scale, int* status, double* bound);

// Gamma distribution with shape a and unit scale: cum = P(X <= x), ccum = 1 - cum.
void cumgam(double* x, double* a, double* cum, double* ccum);
