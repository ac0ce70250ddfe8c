// Logistic regression of case/control status on additive allele counts,
// fitted by Newton-Raphson from zero, with a likelihood-ratio test.
#pragma once

#include <cstdint>
#include <set>
#include <vector>

// The matrix library's headers bring macros and a using-directive with them,
// so only its type is named here.
namespace NEWMAT {
class Matrix;
}

namespace single_snp_test {

// How a fit ended. Only a converged fit carries estimates; a separated fit
// carries its log-likelihood and, from run_test, its p-value; every other
// output holds not-a-number, so a caller that prints it anyway shows no
// made-up value.
enum class FitStatus {
    converged,
    separated,      // the stopping rule was met, but the genotypes separate
                    // cases from controls (or the sample has one phenotype
                    // only): the maximum lies at infinity and no estimate exists
    singular,       // the information matrix cannot be inverted (a tested SNP
                    // constant in the sample, or collinear with the others)
    not_converged,  // the stopping rule was not met within 100 steps
    non_finite,     // the iteration left the finite numbers
};

// Individual i owns haplotypes 2i and 2i+1; its genotype at SNP index k is
// the sum of their alleles at k. Phenotypes are 0 (control) or 1 (case).
// Rows of effect_sizes: the intercept, then one coefficient per SNP index in
// ascending order.
double loglikelihood_function(const NEWMAT::Matrix& effect_sizes,
                              const std::vector<std::vector<std::uint16_t>>& haplotypes,
                              const std::vector<int>& phenotypes, const std::set<int>& snp_indices);

NEWMAT::Matrix score_function(const NEWMAT::Matrix& effect_sizes,
                              const std::vector<std::vector<std::uint16_t>>& haplotypes,
                              const std::vector<int>& phenotypes, const std::set<int>& snp_indices);

NEWMAT::Matrix hessian_function(const NEWMAT::Matrix& effect_sizes,
                                const std::vector<std::vector<std::uint16_t>>& haplotypes,
                                const std::vector<int>& phenotypes, const std::set<int>& snp_indices);

[[nodiscard]] FitStatus maximise_likelihood_snp(const std::vector<std::vector<std::uint16_t>>& haplotypes,
                                                const std::vector<int>& phenotypes, const std::set<int>& snp_indices,
                                                NEWMAT::Matrix& mle, double& max_loglikelihood,
                                                NEWMAT::Matrix& variance);

// beta and beta_se get one row per coefficient; pvalue is the upper chi-squared
// tail of the likelihood-ratio statistic, 1 when the statistic is not positive.
[[nodiscard]] FitStatus run_test(const std::vector<std::vector<std::uint16_t>>& haplotypes,
                                 const std::vector<int>& phenotypes, const std::set<int>& snp_indices,
                                 NEWMAT::Matrix& beta, NEWMAT::Matrix& beta_se, double& pvalue);

// Log-likelihood of the intercept-only model: not a number when a group is
// empty.
double null_loglikelihood(int n_control, int n_case);

// Upper chi-squared tail of a likelihood-ratio statistic with df degrees of
// freedom; 1 when the statistic is not positive or not a number.
double likelihood_ratio_pvalue(double statistic, double df);

}  // namespace single_snp_test
