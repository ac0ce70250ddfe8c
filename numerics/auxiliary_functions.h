// Stand-alone auxiliary functions of the distribution library: polynomial
// evaluation, log-gamma, the log normal tail and Stirling remainders.
#pragma once

// a[0] + a[1] x + ... + a[n-1] x^(n-1).
double devlpl(double a[], int* n, double* x);

// ln Gamma(x) for x > 0.
double alngam(double* x);

// ln Phi(-abs(x)) for abs(x) >= 5; smaller arguments end the process.
double dlanor(double* x);

// ln Gamma(z) - ((z - 0.5) ln z - z + ln sqrt(2 pi)) for z > 0; z <= 0 ends
// the process.
double dstrem(double* z);

// Stirling remainder of ln B(a, b).
double dbetrm(double* a, double* b);
