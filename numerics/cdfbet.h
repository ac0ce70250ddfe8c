// Beta distribution function with inversion for x (with y = 1 - x), a and b.
#pragma once

// which = 1: p, q from x, y, a, b; 2: x, y; 3: a; 4: b. status 0 on
// success; otherwise status and bound name the failed argument or limit;
// 10: the incomplete beta ratio failed or the search closed in on no root.
void cdfbet(int* which, double* p, double* q, double* x, double* y, double* a, double* b, int* status, double* bound);

// Beta distribution: cum = I_x(a, b), ccum = 1 - cum (y = 1 - x); both NaN
// when the incomplete beta ratio reports an error.
void cumbet(double* x, double* y, double* a, double* b, double* cum, double* ccum);
