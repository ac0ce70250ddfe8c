// Chi-squared distribution function with inversion for the statistic and
// the degrees of freedom.
#pragma once

// which = 1: p, q from x, df; which = 2: x from p, q, df; which = 3: df from
// p, q, x. status 0 on success; otherwise status and bound say which argument
// or limit failed (bound is left untouched when status is 0).
void cdfchi(int* which, double* p, double* q, double* x, double* df, int* status, double* bound);

// cum = P(X <= x), ccum = 1 - cum for df degrees of freedom.
void cumchi(double* x, double* df, double* cum, double* ccum);
