// Whether genotypes separate cases from controls: the condition under which
// the logistic model's maximum-likelihood estimate does not exist.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace single_snp_test {

// genotypes holds one row of `snps` allele counts per individual, row i for
// individual i; phenotypes holds 1 for a case and 0 for a control. True when
// some coefficient vector b gives z_i · b >= 0 for every case and
// z_i · b <= 0 for every control, strictly for at least one individual, with
// z_i = (1, row i): complete or quasi-complete separation. A sample of one
// phenotype only is separated. Decided exactly, in integer arithmetic.
bool separates_phenotypes(const std::vector<std::uint8_t>& genotypes, std::size_t snps,
                          const std::vector<int>& phenotypes);

}  // namespace single_snp_test
