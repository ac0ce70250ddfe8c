// Double-precision densities, the normal distribution function with fixed tails, and
// simple draws built on the single-precision seeded variates.
#pragma once

// Normal density; its constant 2.5066282747946493 stands for sqrt(2 pi) and is kept as it is.
double dnorm(double x, double* mean, double* sd);
// Normal distribution function of (x - mean) / sd: the lower tail when upper is 0, else the
// upper tail; beyond 5 standard deviations both tails are fixed values.
double pnorm(double x, double* mean, double* sd, int upper);
// Gamma density with shape a and rate b at x, or its logarithm when give_log is nonzero.
double dgamma(double x, double a, double b, int give_log);
// Logarithm of the Dirichlet density with parameters alpha at x (*k components).
double ddirichlet(double* x, double* alpha, int* k);

// ranf() widened.
double runif();
// snorm() * sd + mean.
double rnorm(double* mean, double* sd);
// Gamma with shape a and rate b, drawn in single precision.
double rgamma(double a, double b);
// Dirichlet draw into x[0 ... *k - 1], each component pulled towards 1 / k by a 0.01 share.
void rdirichlet(double* x, double* alpha, int* k);
// Uniform category in 1 ... k (k >= 1).
int rmultinom_unif_fast(int k);
// Uniform category in 1 ... k (k >= 1), by repeated subtraction of 1 / k.
int rmultinom_unif(int k);
// Writes into *cat the 1-based category drawn from p, whose entries must sum to at least 1.
void rmultinom(int* cat, double* p);
