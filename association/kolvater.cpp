// Genotype summaries and single-SNP tests of the per-SNP tester.
#include "association/kolvater.h"

#include <cmath>
#include <cstddef>
#include <iostream>
#include <limits>
#include <numeric>
#include <set>

#include <newmat.h>

#include "association/genotype.h"
#include "association/single_snp_test.h"
#include "common/invariant.h"

namespace single_snp_test {

namespace {

std::size_t snp_count(const std::vector<std::vector<std::uint16_t>>& haplotypes) {
    return haplotypes.empty() ? 0 : haplotypes.front().size();
}

// Allele-1 frequency of a group from its genotype counts; not a number for
// an empty group (written as "nan" in the table).
double frequency(const std::array<int, 3>& counts, int individuals) {
    if (individuals == 0) return std::numeric_limits<double>::quiet_NaN();
    return static_cast<double>(2 * counts[2] + counts[1]) / static_cast<double>(2 * individuals);
}

}  // namespace

void Kolvater::summarise_snp_data() {
    const int n = static_cast<int>(phenotypes.size());
    const int n_case = std::accumulate(phenotypes.begin(), phenotypes.end(), 0);
    const int n_control = n - n_case;
    const std::size_t snps = snp_count(haplotypes);
    VORLAN2_CHECK(haplotypes.size() / 2 == phenotypes.size());
    VORLAN2_CHECK(rs_ids.size() >= snps);
    auto id = rs_ids.begin();
    for (std::size_t i = 0; i < snps; ++i, ++id) {
        snp_summary summary;
        for (int t = 0; t < n; ++t) {
            const int g = genotype_of(haplotypes[2 * t + 1][i], haplotypes[2 * t][i]);
            summary.cases_genotype_counts[g] += phenotypes[t];
            summary.controls_genotype_counts[g] += 1 - phenotypes[t];
        }
        summary.controls_freq = frequency(summary.controls_genotype_counts, n_control);
        summary.cases_freq = frequency(summary.cases_genotype_counts, n_case);
        summary.rsid = id->second;
        results.emplace(id->first, summary);
    }
}

void Kolvater::runtests() {
    summarise_snp_data();
    std::cout << "Running frequentist single SNP tests\n" << std::endl;

    const int n_case = std::accumulate(phenotypes.begin(), phenotypes.end(), 0);
    const double null_ll = null_loglikelihood(static_cast<int>(phenotypes.size()) - n_case, n_case);
    const std::size_t snps = snp_count(haplotypes);
    VORLAN2_CHECK(results.size() >= snps);
    auto record = results.begin();
    for (std::size_t i = 0; i < snps; ++i, ++record) {
        snp_summary& summary = record->second;
        const double frequency_sum = summary.cases_freq + summary.controls_freq;
        if (!(frequency_sum > 0 && frequency_sum < 2)) continue;

        NEWMAT::Matrix b;
        NEWMAT::Matrix variance;
        double max_ll = 0.0;
        const std::set<int> snp{static_cast<int>(i)};
        if (maximise_likelihood_snp(haplotypes, phenotypes, snp, b, max_ll, variance) != FitStatus::converged) continue;
        const double statistic = (null_ll - max_ll) * (-2.0);
        summary.beta_0_mle = b(1, 1);
        summary.beta_1_mle = b(2, 1);
        summary.se_beta_0 = std::sqrt(variance(1, 1));
        summary.se_beta_1 = std::sqrt(variance(2, 2));
        summary.pvalue = likelihood_ratio_pvalue(statistic, 1.0);
        summary.max_likelihood = max_ll;
        summary.chisq_stat = statistic;
    }
}

}  // namespace single_snp_test
