// Goodness-of-fit checks on a sample: the chi-squared statistic over bins with
// known probabilities, and the sample mean and variance with their standard errors.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

// Bins (-inf, e0], (e0, e1], ..., (e_last, inf); cdf[k] = P(X <= edges[k]).
struct Bins {
    std::vector<double> edges;
    std::vector<double> cdf;
};

// The nine deciles of a distribution as bin edges.
inline Bins Deciles(const std::vector<double>& deciles) {
    return {deciles, {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9}};
}

// Pearson's statistic of the sample over the bins (edges.size() degrees of freedom).
inline double ChiSquare(const std::vector<double>& sample, const Bins& bins) {
    std::vector<double> counts(bins.edges.size() + 1, 0.0);
    for (const double x : sample) {
        const auto bin = std::lower_bound(bins.edges.begin(), bins.edges.end(), x);
        counts[static_cast<std::size_t>(bin - bins.edges.begin())] += 1.0;
    }
    const double n = static_cast<double>(sample.size());
    double statistic = 0.0, below = 0.0;
    for (std::size_t k = 0; k < counts.size(); ++k) {
        const double upto = k < bins.cdf.size() ? bins.cdf[k] : 1.0;
        const double expected = n * (upto - below);
        statistic += (counts[k] - expected) * (counts[k] - expected) / expected;
        below = upto;
    }
    return statistic;
}

struct Moments {
    double mean, mean_se;          // sample mean and its standard error
    double variance, variance_se;  // sample variance and its standard error
};

inline Moments SampleMoments(const std::vector<double>& sample) {
    const double n = static_cast<double>(sample.size());
    double sum = 0.0;
    for (const double x : sample) sum += x;
    const double mean = sum / n;
    double m2 = 0.0, m4 = 0.0;
    for (const double x : sample) {
        const double d2 = (x - mean) * (x - mean);
        m2 += d2;
        m4 += d2 * d2;
    }
    m2 /= n;
    m4 /= n;
    return {mean, std::sqrt(m2 / n), m2, std::sqrt(std::max(m4 - m2 * m2, 0.0) / n)};
}
