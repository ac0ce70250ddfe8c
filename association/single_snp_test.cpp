// Newton-Raphson fit of the additive logistic model and its likelihood-ratio
// test against the intercept-only model.
#include "association/single_snp_test.h"

#include <cmath>
#include <cstddef>
#include <limits>
#include <numeric>

#include <newmat.h>

#include "association/genotype.h"
#include "association/separation.h"
#include "common/invariant.h"
#include "numerics/cdfchi.h"

namespace single_snp_test {

namespace {

using NEWMAT::Matrix;
using Haplotypes = std::vector<std::vector<std::uint16_t>>;

constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();

// Newton-Raphson steps after which a fit counts as not converging; a regular
// fit needs fewer than ten, a genotype that separates 40000 individuals
// perfectly sixteen.
constexpr int max_newton_iterations = 100;

// Genotypes of the tested SNPs, read once per fit so that the iteration
// walks one flat array instead of the whole haplotype set.
struct TestedGenotypes {
    std::size_t individuals = 0;
    std::size_t snps = 0;
    std::vector<std::uint8_t> counts;  // copies of allele 1, row i holds individual i

    int at(std::size_t individual, std::size_t snp) const { return counts[individual * snps + snp]; }
};

TestedGenotypes read_genotypes(const Haplotypes& haplotypes, const std::vector<int>& phenotypes,
                               const std::set<int>& snp_indices) {
    VORLAN2_CHECK(haplotypes.size() / 2 == phenotypes.size());
    VORLAN2_CHECK(snp_indices.empty() || haplotypes.empty() ||
                  (*snp_indices.begin() >= 0 && *snp_indices.rbegin() < static_cast<int>(haplotypes[0].size())));
    TestedGenotypes genotypes;
    genotypes.individuals = phenotypes.size();
    genotypes.snps = snp_indices.size();
    genotypes.counts.reserve(genotypes.individuals * genotypes.snps);
    for (std::size_t i = 0; i < genotypes.individuals; ++i) {
        const auto& first = haplotypes[2 * i];
        const auto& second = haplotypes[2 * i + 1];
        for (const int k : snp_indices)
            genotypes.counts.push_back(static_cast<std::uint8_t>(genotype_of(first[k], second[k])));
    }
    return genotypes;
}

std::vector<double> coefficients(const Matrix& effect_sizes, const TestedGenotypes& genotypes) {
    std::vector<double> beta(genotypes.snps + 1);
    VORLAN2_CHECK(effect_sizes.Ncols() == 1);
    VORLAN2_CHECK((effect_sizes.Nrows() - 1) == static_cast<int>(genotypes.snps));
    for (std::size_t r = 0; r < beta.size(); ++r) beta[r] = effect_sizes(static_cast<int>(r) + 1, 1);
    return beta;
}

double linear_predictor(const std::vector<double>& beta, const TestedGenotypes& genotypes, std::size_t i) {
    double x = 0.0;
    for (std::size_t m = 0; m < genotypes.snps; ++m) x = beta[1 + m] * genotypes.at(i, m) + x;
    return beta[0] + x;
}

double loglikelihood(const Matrix& effect_sizes, const TestedGenotypes& genotypes, const std::vector<int>& phenotypes) {
    const std::vector<double> beta = coefficients(effect_sizes, genotypes);
    double sum = 0.0;
    for (std::size_t i = 0; i < genotypes.individuals; ++i) {
        const double eta = linear_predictor(beta, genotypes, i);
        sum += eta * phenotypes[i] - std::log(std::exp(eta) + 1.0);
    }
    return sum;
}

Matrix score(const Matrix& effect_sizes, const TestedGenotypes& genotypes, const std::vector<int>& phenotypes) {
    const std::vector<double> beta = coefficients(effect_sizes, genotypes);
    std::vector<double> sum(beta.size(), 0.0);
    for (std::size_t i = 0; i < genotypes.individuals; ++i) {
        const double odds = std::exp(linear_predictor(beta, genotypes, i));
        const double residual = phenotypes[i] - odds / (odds + 1.0);
        sum[0] += residual;
        for (std::size_t m = 0; m < genotypes.snps; ++m) sum[1 + m] += genotypes.at(i, m) * residual;
    }
    Matrix s(static_cast<int>(sum.size()), 1);
    for (std::size_t r = 0; r < sum.size(); ++r) s(static_cast<int>(r) + 1, 1) = sum[r];
    return s;
}

Matrix hessian(const Matrix& effect_sizes, const TestedGenotypes& genotypes) {
    const std::vector<double> beta = coefficients(effect_sizes, genotypes);
    const std::size_t rows = beta.size();
    std::vector<double> lower(rows * rows, 0.0);  // element (j, l), l <= j, at j * rows + l
    std::vector<int> z(rows, 1);                  // (1, genotypes of individual i)
    for (std::size_t i = 0; i < genotypes.individuals; ++i) {
        for (std::size_t m = 0; m < genotypes.snps; ++m) z[1 + m] = genotypes.at(i, m);
        const double odds = std::exp(linear_predictor(beta, genotypes, i));
        const double weight = odds / ((odds + 1.0) * (1.0 + odds));
        for (std::size_t j = 0; j < rows; ++j)
            for (std::size_t l = 0; l <= j; ++l) lower[j * rows + l] -= weight * (z[j] * z[l]);
    }
    Matrix h(static_cast<int>(rows), static_cast<int>(rows));
    for (std::size_t j = 0; j < rows; ++j)
        for (std::size_t l = 0; l <= j; ++l) {
            h(static_cast<int>(j) + 1, static_cast<int>(l) + 1) = lower[j * rows + l];
            h(static_cast<int>(l) + 1, static_cast<int>(j) + 1) = lower[j * rows + l];
        }
    return h;
}

// Whether the tested SNPs vary and are linearly independent of one another
// and of the intercept. The centred cross products are exact integers, so a
// constant SNP is caught exactly; between several SNPs the tolerance lies far
// above rounding and far below the smallest genuine residual of integer
// genotypes. Rounding alone would otherwise let an exactly collinear design
// through the inversion with a meaningless result.
bool has_full_rank(const TestedGenotypes& genotypes) {
    const std::size_t p = genotypes.snps;
    std::vector<std::int64_t> sums(p, 0);
    std::vector<std::int64_t> products(p * p, 0);
    for (std::size_t i = 0; i < genotypes.individuals; ++i)
        for (std::size_t j = 0; j < p; ++j) {
            sums[j] += genotypes.at(i, j);
            for (std::size_t l = 0; l <= j; ++l) products[j * p + l] += genotypes.at(i, j) * genotypes.at(i, l);
        }
    const auto n = static_cast<std::int64_t>(genotypes.individuals);
    constexpr double relative_tolerance = 1e-9;
    std::vector<double> factor(p * p, 0.0);  // Cholesky factor of n times the covariance
    for (std::size_t j = 0; j < p; ++j) {
        for (std::size_t l = 0; l <= j; ++l) {
            const auto centred = static_cast<double>(n * products[j * p + l] - sums[j] * sums[l]);
            double value = centred;
            for (std::size_t k = 0; k < l; ++k) value -= factor[j * p + k] * factor[l * p + k];
            if (l < j) {
                factor[j * p + l] = value / factor[l * p + l];
            } else {
                if (!(value > relative_tolerance * centred)) return false;
                factor[j * p + j] = std::sqrt(value);
            }
        }
    }
    return true;
}

bool all_finite(const Matrix& m) {
    for (int r = 1; r <= m.Nrows(); ++r)
        for (int c = 1; c <= m.Ncols(); ++c)
            if (!std::isfinite(m(r, c))) return false;
    return true;
}

bool positive_diagonal(const Matrix& m) {
    for (int r = 1; r <= m.Nrows(); ++r)
        if (!(m(r, r) > 0.0)) return false;
    return true;
}

FitStatus fail(FitStatus status, int rows, Matrix& mle, double& max_loglikelihood, Matrix& variance) {
    mle.ReSize(rows, 1);
    mle = not_a_number;
    max_loglikelihood = not_a_number;
    variance.ReSize(rows, rows);
    variance = not_a_number;
    return status;
}

}  // namespace

double loglikelihood_function(const Matrix& effect_sizes, const Haplotypes& haplotypes,
                              const std::vector<int>& phenotypes, const std::set<int>& snp_indices) {
    return loglikelihood(effect_sizes, read_genotypes(haplotypes, phenotypes, snp_indices), phenotypes);
}

Matrix score_function(const Matrix& effect_sizes, const Haplotypes& haplotypes, const std::vector<int>& phenotypes,
                      const std::set<int>& snp_indices) {
    return score(effect_sizes, read_genotypes(haplotypes, phenotypes, snp_indices), phenotypes);
}

Matrix hessian_function(const Matrix& effect_sizes, const Haplotypes& haplotypes, const std::vector<int>& phenotypes,
                        const std::set<int>& snp_indices) {
    return hessian(effect_sizes, read_genotypes(haplotypes, phenotypes, snp_indices));
}

FitStatus maximise_likelihood_snp(const Haplotypes& haplotypes, const std::vector<int>& phenotypes,
                                  const std::set<int>& snp_indices, Matrix& mle, double& max_loglikelihood,
                                  Matrix& variance) {
    const int rows = static_cast<int>(snp_indices.size()) + 1;
    const TestedGenotypes genotypes = read_genotypes(haplotypes, phenotypes, snp_indices);
    if (!has_full_rank(genotypes)) return fail(FitStatus::singular, rows, mle, max_loglikelihood, variance);

    const auto score_at = [&](const Matrix& b) { return score(b, genotypes, phenotypes); };
    const auto hessian_at = [&](const Matrix& b) { return hessian(b, genotypes); };

    Matrix b(rows, 1);
    b = 0.0;
    Matrix s = score_at(b);
    try {
        int iterations = 0;
        do {
            if (++iterations > max_newton_iterations)
                return fail(FitStatus::not_converged, rows, mle, max_loglikelihood, variance);
            const Matrix h = hessian_at(b);
            b = b - h.i() * s;
            s = score_at(b);
        } while (s.SumSquare() > 1e-5);
        // Where the data are separated the maximum lies at infinity and the
        // stopping rule was met only because the score fades as the
        // coefficients grow: they are no estimates, but the log-likelihood
        // reached is a lower bound of its supremum.
        if (s.SumSquare() <= 1e-5 && separates_phenotypes(genotypes.counts, genotypes.snps, phenotypes)) {
            const double reached = loglikelihood(b, genotypes, phenotypes);
            if (!all_finite(b) || !std::isfinite(reached))
                return fail(FitStatus::non_finite, rows, mle, max_loglikelihood, variance);
            const FitStatus status = fail(FitStatus::separated, rows, mle, max_loglikelihood, variance);
            max_loglikelihood = reached;
            return status;
        }
        const Matrix h = hessian_at(b);
        variance = (-h).i();
    } catch (const RBD_COMMON::BaseException&) {
        return fail(FitStatus::singular, rows, mle, max_loglikelihood, variance);
    }
    mle = b;
    max_loglikelihood = loglikelihood(b, genotypes, phenotypes);
    if (!all_finite(mle) || !std::isfinite(max_loglikelihood) || !all_finite(variance))
        return fail(FitStatus::non_finite, rows, mle, max_loglikelihood, variance);
    if (!positive_diagonal(variance)) return fail(FitStatus::singular, rows, mle, max_loglikelihood, variance);
    return FitStatus::converged;
}

FitStatus run_test(const Haplotypes& haplotypes, const std::vector<int>& phenotypes, const std::set<int>& snp_indices,
                   Matrix& beta, Matrix& beta_se, double& pvalue) {
    VORLAN2_CHECK(!snp_indices.empty());
    const int n = static_cast<int>(phenotypes.size());
    const int n_case = std::accumulate(phenotypes.begin(), phenotypes.end(), 0);
    const double null_ll = null_loglikelihood(n - n_case, n_case);

    double max_ll = 0.0;
    Matrix variance;
    const FitStatus status = maximise_likelihood_snp(haplotypes, phenotypes, snp_indices, beta, max_ll, variance);
    beta_se.ReSize(variance.Nrows(), 1);
    beta_se = not_a_number;
    pvalue = not_a_number;
    if (status != FitStatus::converged && status != FitStatus::separated) return status;
    const double statistic = (null_ll - max_ll) * (-2.0);
    pvalue = likelihood_ratio_pvalue(statistic, beta.Nrows() - 1);
    if (status == FitStatus::converged)
        for (int r = 1; r <= variance.Nrows(); ++r) beta_se(r, 1) = std::sqrt(variance(r, r));
    return status;
}

double null_loglikelihood(int n_control, int n_case) {
    const double n0 = n_control;
    const double n1 = n_case;
    const double n = n_control + n_case;
    return (n0 * std::log(n0) + n1 * std::log(n1)) - n * std::log(n);
}

double likelihood_ratio_pvalue(double statistic, double df) {
    if (!(statistic > 0.0)) return 1.0;
    int which = 1;
    int status = 0;
    double p = not_a_number;
    double q = not_a_number;
    double bound = 0.0;
    cdfchi(&which, &p, &q, &statistic, &df, &status, &bound);
    VORLAN2_CHECK(status == 0);
    return q;
}

}  // namespace single_snp_test
