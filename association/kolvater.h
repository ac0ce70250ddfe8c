// Per-SNP tester: genotype summaries of cases and controls for every SNP of
// a data set, a single-SNP logistic test of every SNP that varies, and the
// results table.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace single_snp_test {

class Kolvater {
public:
    struct snp_summary {
        std::string rsid;
        double cases_freq = 0;                          // of allele 1 among case haplotypes
        double controls_freq = 0;                       // of allele 1 among control haplotypes
        std::array<int, 3> cases_genotype_counts{};     // cases with 0, 1, 2 copies of allele 1
        std::array<int, 3> controls_genotype_counts{};  // controls with 0, 1, 2 copies of allele 1
        // -1 in every field below marks a SNP that was not tested, whose fit
        // could not be computed, or whose genotypes separate cases from
        // controls (no estimate exists).
        double beta_0_mle = -1.0;
        double beta_1_mle = -1.0;
        double se_beta_0 = -1.0;
        double se_beta_1 = -1.0;
        double pvalue = -1.0;
        double max_likelihood = -1.0;
        double chisq_stat = -1.0;
    };

    // Fills results; an existing record of a position is kept. A group
    // without individuals has frequency not-a-number, so none of its SNPs
    // is tested.
    void summarise_snp_data();
    // summarise_snp_data, then the test of every SNP whose frequencies sum to
    // more than 0 and less than 2.
    void runtests();
    // Writes the table to file, gzip-compressed when its name ends in ".gz";
    // raises badfilename when the file cannot be opened or written.
    void output_results(const std::string& file) const;

    // inputs
    std::vector<std::vector<std::uint16_t>> haplotypes;  // individual t owns 2t and 2t+1
    std::vector<int> phenotypes;                         // 0 control, 1 case
    std::map<int, std::string> rs_ids;                   // position -> identifier; the i-th belongs to SNP index i
    // results
    std::map<int, snp_summary> results;  // by position
};

}  // namespace single_snp_test
