// Student's t distribution function with inversion for t and the degrees
// of freedom.
#pragma once

// which = 1: p, q from t, df; 2: t; 3: df. status 0 on success; otherwise
// status and bound name the failed argument or limit; 10: the incomplete
// beta ratio failed or the search closed in on no root.
void cdft(int* which, double* p, double* q, double* t, double* df, int* status, double* bound);

// t distribution with df degrees of freedom: cum = P(T <= t).
void cumt(double* t, double* df, double* cum, double* ccum);
