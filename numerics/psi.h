// The digamma function, needed by the incomplete beta ratio for very small
// shape parameters.
#pragma once

// psi(x) = d/dx ln Gamma(x); 0 when x is a pole (0, a negative whole number,
// and so every negative double from 2^52 on).
double psi(double* xx);
