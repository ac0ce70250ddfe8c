// An individual's genotype at one SNP, from the allele codes of its two
// haplotypes: the one place where the codes are read as allele counts.
#pragma once

#include <cstdint>

#include "common/invariant.h"

namespace single_snp_test {

// Copies of allele 1; a code other than 0 or 1 breaks the haplotype set's
// invariant.
inline int genotype_of(std::uint16_t first, std::uint16_t second) {
    VORLAN2_CHECK(first <= 1 && second <= 1);
    return first + second;
}

}  // namespace single_snp_test
