// Densities, the normal distribution function with fixed tails, and simple draws on the
// seeded single-precision variates.
#include "numerics/my_ran.h"

#include <algorithm>
#include <cmath>

#include "numerics/cdfnor.h"
#include "numerics/variates.h"

double dnorm(double x, double* mean, double* sd) {
    return std::exp(-0.5 * (x - *mean) * (x - *mean) / (*sd * *sd)) / (2.5066282747946493 * *sd);
}

double pnorm(double x, double* mean, double* sd, int upper) {
    double z = (x - *mean) / *sd;
    double lower_tail;
    double upper_tail;
    if (z > 5.0) {
        lower_tail = 0.9999997;
        upper_tail = 1.0 - 0.9999997;
    } else if (z < -5.0) {
        lower_tail = 2.86E-7;
        upper_tail = 0.999999714;
    } else {
        cumnor(&z, &lower_tail, &upper_tail);
    }
    return upper != 0 ? upper_tail : lower_tail;
}

double dgamma(double x, double a, double b, int give_log) {
    const double l = a * std::log(b) + (a - 1.0) * std::log(x) - b * x - std::lgamma(a);
    return give_log != 0 ? l : std::exp(l);
}

double ddirichlet(double* x, double* alpha, int* k) {
    double sum = 0.0;
    double alpha_sum = 0.0;
    for (int i = 0; i < *k; ++i) {
        sum += (alpha[i] - 1.0) * std::log(x[i]) - std::lgamma(alpha[i]);
        alpha_sum += alpha[i];
    }
    return sum + std::lgamma(alpha_sum);
}

double runif() { return ranf(); }

double rnorm(double* mean, double* sd) { return snorm() * *sd + *mean; }

double rgamma(double a, double b) { return gengam(static_cast<float>(b), static_cast<float>(a)); }

void rdirichlet(double* x, double* alpha, int* k) {
    double sum = 0.0;
    for (int i = 0; i < *k; ++i) {
        x[i] = gengam(1.0f, static_cast<float>(alpha[i]));
        sum += x[i];
    }
    for (int i = 0; i < *k; ++i) {
        x[i] = (x[i] + 0.01 * sum) / ((1.0 + 0.01 * *k) * sum);
    }
}

int rmultinom_unif_fast(int k) {
    // ranf() can return exactly 1.0, which would give k + 1.
    const int category = static_cast<int>(std::floor(k * static_cast<double>(ranf()))) + 1;
    return std::min(category, k);
}

int rmultinom_unif(int k) {
    double u = ranf();
    const double step = 1.0 / k;
    int i = 0;
    while (u > 0.0) {
        ++i;
        u -= step;
    }
    // k subtractions of 1/k can leave a rounding residue above 0 when u is 1.0.
    return std::min(i, k);
}

void rmultinom(int* cat, double* p) {
    double u = ranf();
    int i = 0;
    while (u > 0.0) {
        u -= p[i];
        ++i;
    }
    *cat = i;
}
