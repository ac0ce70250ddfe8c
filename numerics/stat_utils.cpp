// Vector statistics, running updates, densities and draws of the statistics utilities;
// the draws go through the random-number subsystem.
#include "numerics/stat_utils.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iostream>
#include <iterator>
#include <set>

#include "numerics/my_ran.h"
#include "numerics/sequential_stats.h"
#include "random/continuous.h"
#include "random/random.h"

namespace stat_utils {

namespace {

// The number of times 1/c can be subtracted from u while it stays positive, at most
// c - 1: the rank min(ceil(u c), c) - 1 of an index chosen from c equal weights.
std::size_t rank_by_subtraction(double u, std::size_t c) {
    const double step = 1.0 / static_cast<double>(c);
    std::size_t j = 0;
    u -= step;
    while (u > 0.0 && j + 1 < c) {
        ++j;
        u -= step;
    }
    return j;
}

// Removes and returns the pool's element of rank j in ascending order.
int take_rank(std::set<int>& pool, std::size_t j) {
    const auto chosen = std::next(pool.begin(), static_cast<std::ptrdiff_t>(j));
    const int element = *chosen;
    pool.erase(chosen);
    return element;
}

void check_sample_size(int N, int M, int p) {
    if (p > N || p < M) {
        std::cout << "need p >= M and p <= N in samp function" << std::endl;
    }
}

// out[i] = i for the first M indices that out holds.
void write_leading_indices(int M, std::vector<int>* out) {
    const int held = static_cast<int>(std::min<std::size_t>(out->size(), static_cast<std::size_t>(std::max(M, 0))));
    for (int i = 0; i < held; ++i) {
        (*out)[i] = i;
    }
}

}  // namespace

double meanvec(std::vector<double>* v, int n) {
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        sum += (*v)[i];
    }
    return sum / n;
}

double varvec(std::vector<double>* v, double mean, int n) {
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        sum += ((*v)[i] - mean) * ((*v)[i] - mean);
    }
    return sum / (n - 1);
}

double covvec(std::vector<double>* v, std::vector<double>* w, double mean_v, double mean_w, int n) {
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        sum += ((*v)[i] - mean_v) * ((*w)[i] - mean_w);
    }
    return sum / (n - 1);
}

double varvec1(std::vector<double>* v, int n) { return varvec(v, meanvec(v, n), n); }

double covvec1(std::vector<double>* v, std::vector<double>* w, int n) {
    return covvec(v, w, meanvec(v, n), meanvec(w, n), n);
}

void sequential_mean(double* mean, double* x, double n) { ::sequential_mean(mean, x, n); }

void sequential_variance(double* var, double* mean, double* x, double n) { ::sequential_variance(var, mean, x, n); }

void sequential_sd(double* sd, double* mean, double* x, double n) { ::sequential_sd(sd, mean, x, n); }

void sequential_mean_vec(double* mean, double* x, double n, int len) { ::sequential_mean_vec(mean, x, n, len); }

void sequential_variance_vec(double* var, double* mean, double* x, double n, int len) {
    ::sequential_variance_vec(var, mean, x, n, len);
}

void sequential_sd_vec(double* sd, double* mean, double* x, double n, int len) {
    ::sequential_sd_vec(sd, mean, x, n, len);
}

double dnorm(double x, double* mean, double* sd) { return ::dnorm(x, mean, sd); }

double log_dnorm(double x, double mean, double var) {
    return -0.5 * ((x - mean) * (x - mean) / var + std::log(6.283185308 * var));
}

double dgamma(double x, double a, double b, int give_log) { return ::dgamma(x, a, b, give_log); }

double log_dgamma(double x, double a, double b) {
    return a * std::log(b) - std::lgamma(a) + (a - 1.0) * std::log(x) - b * x;
}

double log_dbeta(double x, double a, double b) {
    return (a - 1.0) * std::log(x) + (b - 1.0) * std::log(1.0 - x) + std::lgamma(a + b) - std::lgamma(a) -
           std::lgamma(b);
}

double log_dscaled_Inv_Chi_Squared(double x, double nu, double s2) {
    return (nu / 2.0) * std::log(nu * s2 / 2.0) - std::lgamma(nu / 2.0) - (nu / 2.0 + 1.0) * std::log(x) -
           nu * s2 / (2.0 * x);
}

double ddirichlet(double* x, double* alpha, int* k) { return ::ddirichlet(x, alpha, k); }

double rgamma(double a, double b) {
    Gamma g(a);
    return g.Next() / b;
}

double genbet(float a, float b) {
    const double x = Gamma(a).Next();
    const double y = Gamma(b).Next();
    return x / (x + y);
}

double genchi(int df) { return ChiSq(df, 0.0).Next(); }

void rdirichlet(double* x, double* alpha, int* k) {
    double sum = 0.0;
    for (int i = 0; i < *k; ++i) {
        x[i] = Gamma(alpha[i]).Next();
        sum += x[i];
    }
    for (int i = 0; i < *k; ++i) {
        x[i] = (x[i] + 0.01 * sum) / ((1.0 + 0.01 * *k) * sum);
    }
}

int rmultinom_unif(int k) {
    double u = Random::RNG->Next();
    if (u <= 0.0 || k <= 0) {
        return 0;
    }
    int i = 0;
    while (i < k && u > 0.0) {
        ++i;
        u -= 1.0 / k;
    }
    return i;
}

int rmultinom(std::vector<double>* p) {
    double u = Random::RNG->Next();
    std::size_t i = 0;
    while (u > 0.0 && i < p->size()) {
        u -= (*p)[i];
        ++i;
    }
    return static_cast<int>(i);
}

WeightedChoices::iterator rmultinom(WeightedChoices* m, double total) {
    double u = Random::RNG->Next();
    auto last = m->end();
    for (auto entry = m->begin(); u > 0.0 && entry != m->end(); ++entry) {
        u -= entry->first / total;
        last = entry;
    }
    return last;
}

void samp(int N, int M, int p, std::vector<int>* out) {
    check_sample_size(N, M, p);
    write_leading_indices(M, out);
    std::set<int> pool;
    for (int e = M; e < N; ++e) {
        pool.insert(e);
    }
    for (int r = 0; r < p - M; ++r) {
        const std::size_t slot = static_cast<std::size_t>(M + r);
        if (pool.empty() || slot >= out->size()) {
            return;
        }
        const double u = Random::RNG->Next();
        (*out)[slot] = take_rank(pool, rank_by_subtraction(u, pool.size()));
    }
}

void samp1(int N, int M, int p, std::vector<int>* out) {
    check_sample_size(N, M, p);
    write_leading_indices(M, out);
    std::set<int> pool;
    for (int e = M; e < N; e += 2) {
        pool.insert(e);
    }
    for (int r = 0; r < (N - M) / 2; ++r) {
        const std::size_t slot = static_cast<std::size_t>(M + 2 * r);
        if (slot + 1 >= out->size()) {
            return;
        }
        const double u = Random::RNG->Next();
        const int e = take_rank(pool, rank_by_subtraction(u, pool.size()));
        (*out)[slot] = e;
        (*out)[slot + 1] = e + 1;
    }
}

int countLines(std::istream& in) {
    std::streambuf* buffer = in.rdbuf();
    if (buffer == nullptr) {
        return 0;
    }
    return static_cast<int>(std::count(std::istreambuf_iterator<char>(buffer), std::istreambuf_iterator<char>(), '\n'));
}

}  // namespace stat_utils
