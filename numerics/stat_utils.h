// Statistics utilities over standard containers: vector means and covariances, running
// updates, densities, and draws from the installed random-number generator.
#pragma once

#include <functional>
#include <istream>
#include <map>
#include <vector>

// Kept apart from the procedural numerics library, which has routines of the same names
// that draw from the seeded generator instead.
namespace stat_utils {

// Weighted choices keyed by weight, largest first.
using WeightedChoices = std::multimap<double, std::vector<int>, std::greater<double>>;

// Statistics of the first n elements; variances and covariances divide by n - 1.
double meanvec(std::vector<double>* v, int n);
double varvec(std::vector<double>* v, double mean, int n);
double covvec(std::vector<double>* v, std::vector<double>* w, double mean_v, double mean_w, int n);
// As varvec and covvec with the means computed from the same n elements.
double varvec1(std::vector<double>* v, int n);
double covvec1(std::vector<double>* v, std::vector<double>* w, int n);

// Running updates, with the arguments and formulas of the procedural library.
void sequential_mean(double* mean, double* x, double n);
void sequential_variance(double* var, double* mean, double* x, double n);
void sequential_sd(double* sd, double* mean, double* x, double n);
void sequential_mean_vec(double* mean, double* x, double n, int len);
void sequential_variance_vec(double* var, double* mean, double* x, double n, int len);
void sequential_sd_vec(double* sd, double* mean, double* x, double n, int len);

// Densities; the log forms keep their constants as given (6.283185308 for 2 pi).
double dnorm(double x, double* mean, double* sd);
double log_dnorm(double x, double mean, double var);
double dgamma(double x, double a, double b, int give_log);  // shape a, rate b
double log_dgamma(double x, double a, double b);
double log_dbeta(double x, double a, double b);
double log_dscaled_Inv_Chi_Squared(double x, double nu, double s2);
double ddirichlet(double* x, double* alpha, int* k);  // log density

// Draws; every uniform is a Next() of Random::RNG.
double rgamma(double a, double b);  // shape a, rate b
double genbet(float a, float b);
double genchi(int df);
void rdirichlet(double* x, double* alpha, int* k);
// Uniform category in 1 ... k; 0 when k <= 0.
int rmultinom_unif(int k);
// 1-based category drawn from p; p->size() when the probabilities sum below the draw.
int rmultinom(std::vector<double>* p);
// The entry chosen with probability weight / total, walking from the largest weight;
// the last entry when the weights sum below the draw, end() for an empty map.
WeightedChoices::iterator rmultinom(WeightedChoices* m, double total);
// out[0 ... M - 1] = 0 ... M - 1, then p - M further indices drawn without replacement
// from M ... N - 1. Writes stop at the end of out and draws stop when no index is left.
void samp(int N, int M, int p, std::vector<int>* out);
// out[0 ... M - 1] = 0 ... M - 1, then the pairs (e, e + 1), e = M, M + 2, ... below N,
// in random order. Writes stop at the end of out.
void samp1(int N, int M, int p, std::vector<int>* out);

// Number of line ends read from the stream to its end; 0 when it has no buffer.
int countLines(std::istream& in);

}  // namespace stat_utils
