// Running (one value at a time) means, variances and standard deviations, printers of
// row-major arrays, and the logarithm of a binomial coefficient.
#pragma once

// n counts the values seen including x. The variance (sd) slot holds the first value
// itself after n = 1 and the sample variance (sd, divisor n - 1) from n = 2 on; other n
// (below 1, or between 1 and 2) change nothing. *mean must already include x.
void sequential_mean(double* mean, double* x, double n);
void sequential_variance(double* var, double* mean, double* x, double n);
void sequential_sd(double* sd, double* mean, double* x, double n);

// The same on elements 0 ... len - 1 of each array.
void sequential_mean_vec(double* mean, double* x, double n, int len);
void sequential_variance_vec(double* var, double* mean, double* x, double n, int len);
void sequential_sd_vec(double* sd, double* mean, double* x, double n, int len);

// Row-major matrices (element (i, j) at m[i * cols + j]) to standard output, one line per
// row, then an empty line.
void print_mat_double(double* m, int rows, int cols);
void print_mat_int(int* m, int rows, int cols);
// depth matrices (element (i, j, k) at a[(i * rows + j) * cols + k]), each followed by an
// empty line, then one more.
void print_3D_array_double(double* a, int depth, int rows, int cols);
void print_3D_array_int(int* a, int depth, int rows, int cols);

// ln of the binomial coefficient Gamma(n + 1) / (Gamma(k + 1) Gamma(n - k + 1)), for
// any real n and k: -infinity where it is 0 (k or n - k a negative whole number, n
// not); NaN where it is negative or has no value (n a negative whole number).
double lchoose(double n, double k);
// The same from float arguments, computed in double and rounded to float.
float lchoosef(float n, float k);
