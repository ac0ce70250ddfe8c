// F distribution function with inversion for f and the two degrees of freedom.
#pragma once

// which = 1: p, q from f, dfn, dfd; 2: f; 3: dfn; 4: dfd. status 0 on
// success; otherwise status and bound name the failed argument or limit;
// 10: the incomplete beta ratio failed or the search closed in on no root.
void cdff(int* which, double* p, double* q, double* f, double* dfn, double* dfd, int* status, double* bound);

// F distribution with dfn and dfd degrees of freedom: cum = P(F <= f).
void cumf(double* f, double* dfn, double* dfd, double* cum, double* ccum);
