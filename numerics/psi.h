// The digamma function, needed by the incomplete beta ratio for very small
// shape parameters.
#pragma once

// psi(x) = d/dx ln Gamma(x); 0 when x is a pole or too large in magnitude
// to be reduced.
double psi(double* xx);
