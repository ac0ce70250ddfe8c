// Seeded random variates in single precision, all driven by ignlgi of the combined
// generator: continuous, discrete and multivariate draws, permutations and phrase seeds.
#pragma once

// Uniform in (0, 1]; the largest generator outputs round to exactly 1.0.
float ranf();
// Uniform between low and high.
float genunf(float low, float high);

// Standard exponential (Ahrens-Dieter 1972, algorithm SA).
float sexpo();
// Exponential with mean av.
float genexp(float av);
// Standard normal (Ahrens-Dieter 1973, algorithm FL).
float snorm();
// Normal with mean av and standard deviation sd.
float gennor(float av, float sd);
// Gamma with shape a and scale 1 (Ahrens-Dieter algorithm GD for a >= 1, GS below).
float sgamma(float a);
// Gamma with rate a and shape r.
float gengam(float a, float r);
// Chi-squared with df degrees of freedom.
float genchi(float df);
// Noncentral chi-squared.
float gennch(float df, float xnonc);
// F with dfn and dfd degrees of freedom.
float genf(float dfn, float dfd);
// Noncentral F.
float gennf(float dfn, float dfd, float xnonc);
// Beta with shapes aa and bb (Cheng 1978, algorithms BB and BC).
float genbet(float aa, float bb);

// Binomial count of n trials with probability pp (Kachitvichyanukul-Schmeiser BTPE,
// inversion when n min(pp, 1 - pp) < 30). A pp that is not finite ends the process
// with "PP not finite in IGNBIN".
long ignbin(long n, float pp);
// Poisson count with mean mu (Ahrens-Dieter 1982 algorithm PD for mu >= 10, table
// inversion below). A mu that is not finite ends the process with "MU not finite in
// IGNPOI".
long ignpoi(float mu);
// Negative binomial: failures before the n-th success of probability p.
long ignnbn(long n, float p);
// Multinomial counts of n trials over ncat categories into ix[0 ... ncat - 1]; only
// p[0 ... ncat - 2] are read, the last category takes the rest.
void genmul(long n, float* p, long ncat, long* ix);

// Packs mean meanv and covariance covm (p x p, column-major; overwritten by its
// Cholesky factor) into parm, which holds p (p + 3) / 2 + 1 values.
void setgmn(float* meanv, float* covm, long p, float* parm);
// One multivariate normal draw from parm into x (p values); work holds p values.
void genmn(float* parm, float* x, float* work);

// Uniform integer in low ... high, which may be at most 2147483561 apart. Of the 2147483562
// equally likely values of ignlgi() - 1, only the first (2147483562 div (high - low + 1)) *
// (high - low + 1) are accepted, so that every result is equally likely.
long ignuin(long low, long high);
// Permutes iarray[0 ... larray - 1] in place.
void genprm(long* iarray, long larray);
// Two seeds computed from a text phrase.
void phrtsd(const char* phrase, long* seed1, long* seed2);
// Length of str up to and including its last character that is not a blank.
long lennob(const char* str);
// -num when num and sign have opposite strict signs, else num.
float fsign(float num, float sign);
