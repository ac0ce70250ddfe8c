// The results table of the per-SNP tester, written through the output-file
// opener.
#include "association/kolvater.h"

#include <iostream>
#include <sstream>

#include "common/output_file.h"

namespace single_snp_test {

void Kolvater::output_results(const std::string& file) const {
    std::ostringstream log;
    auto out = open_output_file(file, log, std::ios_base::out);
    *out << "pos rsid controls_maf cases_maf controls_AA controls_AB controls_BB cases_AA cases_AB cases_BB "
            "beta_0_mle beta_1_mle frequentist_add_pvalue max_likelihood chisq_stat\n";
    for (const auto& [position, s] : results) {
        *out << position << ' ' << s.rsid << ' ' << s.controls_freq << ' ' << s.cases_freq;
        for (const int count : s.controls_genotype_counts) *out << ' ' << count;
        for (const int count : s.cases_genotype_counts) *out << ' ' << count;
        *out << ' ' << s.beta_0_mle << ' ' << s.beta_1_mle << ' ' << s.pvalue << ' ' << s.max_likelihood << ' '
             << s.chisq_stat << '\n';
    }
    std::cout << log.str() << std::endl;
    out->commit();
}

}  // namespace single_snp_test
