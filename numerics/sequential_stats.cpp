// Running statistics updates, array printers and log binomial coefficients.
#include "numerics/sequential_stats.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "numerics/auxiliary_functions.h"

namespace {

// Which update a count calls for; the vector forms choose it once for all elements.
enum class Update { first, second, later, none };

Update update_for(double n) {
    if (n == 1.0) {
        return Update::first;
    }
    if (n == 2.0) {
        return Update::second;
    }
    if (n > 2.0) {
        return Update::later;
    }
    return Update::none;
}

void update_variance(Update kind, double* var, double mean, double x, double n) {
    switch (kind) {
        case Update::first:
            *var = x;
            break;
        case Update::second:
            *var = 0.5 * (*var - x) * (*var - x);
            break;
        case Update::later:
            *var = *var * (n - 2.0) / (n - 1.0) + n * (x - mean) * (x - mean) / ((n - 1.0) * (n - 1.0));
            break;
        case Update::none:
            break;
    }
}

void update_sd(Update kind, double* sd, double mean, double x, double n) {
    switch (kind) {
        case Update::first:
            *sd = x;
            break;
        case Update::second:
            *sd = std::sqrt(0.5 * (*sd - x) * (*sd - x));
            break;
        case Update::later:
            *sd = std::sqrt((n - 2.0) * *sd * *sd / (n - 1.0) + n * (x - mean) * (x - mean) / ((n - 1.0) * (n - 1.0)));
            break;
        case Update::none:
            break;
    }
}

template <typename T>
void print_rows(const T* m, int rows, int cols, const char* format) {
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < cols; ++j) {
            std::printf(format, m[i * cols + j]);
        }
        std::printf("\n");
    }
}

template <typename T>
void print_matrix(const T* m, int rows, int cols, const char* format) {
    print_rows(m, rows, cols, format);
    std::printf("\n");
}

template <typename T>
void print_3D_array(const T* a, int depth, int rows, int cols, const char* format) {
    for (int i = 0; i < depth; ++i) {
        print_rows(a + i * rows * cols, rows, cols, format);
        std::printf("\n");
    }
    std::printf("\n");
}

// Gamma has its poles at 0, -1, -2, ...
bool gamma_pole(double x) { return x <= 0.0 && x == std::floor(x); }

// -1 where Gamma(x) is negative (x in (-1, 0), (-3, -2), ...), else 1.
double gamma_sign(double x) { return x < 0.0 && std::fmod(std::floor(x), 2.0) != 0.0 ? -1.0 : 1.0; }

}  // namespace

void sequential_mean(double* mean, double* x, double n) { *mean = ((n - 1.0) * *mean + *x) / n; }

void sequential_variance(double* var, double* mean, double* x, double n) {
    update_variance(update_for(n), var, *mean, *x, n);
}

void sequential_sd(double* sd, double* mean, double* x, double n) { update_sd(update_for(n), sd, *mean, *x, n); }

void sequential_mean_vec(double* mean, double* x, double n, int len) {
    for (int i = 0; i < len; ++i) {
        sequential_mean(mean + i, x + i, n);
    }
}

void sequential_variance_vec(double* var, double* mean, double* x, double n, int len) {
    const Update kind = update_for(n);
    for (int i = 0; i < len; ++i) {
        update_variance(kind, var + i, mean[i], x[i], n);
    }
}

void sequential_sd_vec(double* sd, double* mean, double* x, double n, int len) {
    const Update kind = update_for(n);
    for (int i = 0; i < len; ++i) {
        update_sd(kind, sd + i, mean[i], x[i], n);
    }
}

void print_mat_double(double* m, int rows, int cols) { print_matrix(m, rows, cols, "%f "); }

void print_mat_int(int* m, int rows, int cols) { print_matrix(m, rows, cols, "%d "); }

void print_3D_array_double(double* a, int depth, int rows, int cols) { print_3D_array(a, depth, rows, cols, "%f "); }

void print_3D_array_int(int* a, int depth, int rows, int cols) { print_3D_array(a, depth, rows, cols, "%d "); }

double lchoose(double n, double k) {
    double n1 = n + 1.0;
    double k1 = k + 1.0;
    double nk1 = n - k + 1.0;
    if (n1 > 0.0 && k1 > 0.0 && nk1 > 0.0) {
        return alngam(&n1) - (alngam(&k1) + alngam(&nk1));
    }
    // Beyond, a gamma argument is negative: the coefficient Gamma(n + 1) /
    // (Gamma(k + 1) Gamma(n - k + 1)) has no value at a pole of the numerator,
    // is 0 at a pole of the denominator, and has no real logarithm when negative.
    if (gamma_pole(n1)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (gamma_pole(k1) || gamma_pole(nk1)) {
        return -std::numeric_limits<double>::infinity();
    }
    if (gamma_sign(n1) * gamma_sign(k1) * gamma_sign(nk1) < 0.0) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return std::lgamma(n1) - (std::lgamma(k1) + std::lgamma(nk1));
}

float lchoosef(float n, float k) { return static_cast<float>(lchoose(static_cast<double>(n), static_cast<double>(k))); }
