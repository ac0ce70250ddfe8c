// Bounded reverse-communication root search used by the inverse modes of the
// distribution functions, and the small numeric helpers that go with it.
#pragma once

// Constants of the bracketing search: limits, step rule, tolerances.
void dstinv(double* small, double* big, double* absstp, double* relstp, double* stpmul, double* abstol, double* reltol);

// Start with status = 0 and x inside [small, big]; while status comes back
// 1, evaluate fx at x and call again. status 0: x is the root; status -1: no
// sign change in the limits (qleft: the answer is below small; qhi: fx > 0
// at the nearest limit); status -2: the zero finder failed (as dzror), x its
// last point. A start value outside [small, big] ends the process.
void dinvr(int* status, double* x, double* fx, int* qleft, int* qhi);

// Bracket and tolerances of the zero finder.
void dstzr(double* xlo, double* xhi, double* abstol, double* reltol);

// Same protocol as dinvr; on status 0, [xlo, xhi] brackets the zero (xlo the
// better end); status -1: both ends have the same sign (qleft, qhi as for
// dinvr); status -2: no zero was closed in on (the final bracket holds no
// change of sign, as after NaN values, or the steps stopped progressing).
void dzror(int* status, double* x, double* fx, double* xlo, double* xhi, int* qleft, int* qhi);

// Writes msg (when not null) to standard error and ends the process.
[[noreturn]] void ftnstop(const char* msg);

// Truncation toward zero, as a double.
double fifdint(double a);
double fifdmax1(double a, double b);
double fifdmin1(double a, double b);
// abs(mag) with the sign of sign; a zero sign counts as positive.
double fifdsign(double mag, double sign);
// Truncation to a long for a >= 1, 0 below 1.
long fifidint(double a);
long fifmod(long a, long b);
