// Goodness-of-fit and moment checks for samplers: binned chi-squared statistics against
// reference distribution functions, and sample means and variances with their standard errors.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

// Reference distribution at increasing cut points: cdf[i] = P(X <= cuts[i]).
struct BinnedReference {
    std::vector<double> cuts;
    std::vector<double> cdf;
};

// Pearson's statistic over the bins X <= cuts[0], cuts[0] < X <= cuts[1], ..., X > last cut;
// it has cuts.size() degrees of freedom.
inline double chi_square_statistic(const std::vector<double>& samples, const BinnedReference& reference) {
    const std::size_t bins = reference.cuts.size() + 1;
    std::vector<double> observed(bins, 0.0);
    for (double x : samples) {
        std::size_t bin = 0;
        while (bin < reference.cuts.size() && x > reference.cuts[bin]) {
            ++bin;
        }
        observed[bin] += 1.0;
    }
    double statistic = 0.0;
    double below = 0.0;
    for (std::size_t bin = 0; bin < bins; ++bin) {
        const double upto = bin < reference.cuts.size() ? reference.cdf[bin] : 1.0;
        const double expected = (upto - below) * static_cast<double>(samples.size());
        below = upto;
        statistic += (observed[bin] - expected) * (observed[bin] - expected) / expected;
    }
    return statistic;
}

// Upper 0.0001 point of the chi-squared distribution, R: qchisq(0.9999, df), df = 1 ... 20.
inline double chi_square_limit(std::size_t df) {
    static const double limits[20] = {15.13670523, 18.42068074, 21.10751347, 23.51274244, 25.74483196,
                                      27.85634124, 29.87750391, 31.827628,   33.71994844, 35.56401394,
                                      37.36698644, 39.13440388, 40.87065501, 42.57928895, 44.26322494,
                                      45.92489905, 47.56636956, 49.18939447, 50.79548967, 52.38597327};
    return limits[df - 1];
}

struct SampleMoments {
    double mean;
    double variance;
    double mean_error;      // standard error of the mean
    double variance_error;  // standard error of the variance, from the fourth central moment
};

inline SampleMoments sample_moments(const std::vector<double>& samples) {
    const double n = static_cast<double>(samples.size());
    double sum = 0.0;
    for (double x : samples) {
        sum += x;
    }
    const double mean = sum / n;
    double m2 = 0.0;
    double m4 = 0.0;
    for (double x : samples) {
        const double d2 = (x - mean) * (x - mean);
        m2 += d2;
        m4 += d2 * d2;
    }
    m2 /= n;
    m4 /= n;
    return {mean, m2 * n / (n - 1.0), std::sqrt(m2 / n), std::sqrt(std::fabs(m4 - m2 * m2) / n)};
}
