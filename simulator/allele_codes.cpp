// Appending candidates' codes and counting them.
#include "simulator/allele_codes.h"

#include <algorithm>

#include "common/invariant.h"

namespace vorlan2 {

AlleleCodes::AlleleCodes(int loci) : loci_(loci), counts_(std::size_t{1} << loci, 0) {
    VORLAN2_CHECK(loci >= 1 && loci <= max_loci);
}

void AlleleCodes::push_back(Code code) {
    if (codes_.size() % block == 0) block_counts_.insert(block_counts_.end(), counts_.begin(), counts_.end());
    VORLAN2_CHECK(code < counts_.size());
    codes_.push_back(code);
    ++counts_[code];
}

const std::uint32_t* AlleleCodes::counts_before_block(std::size_t b) const {
    if (b * block == codes_.size()) return counts_.data();
    return block_counts_.data() + b * counts_.size();
}

void AlleleCodes::count_before(std::size_t i, std::uint32_t* counts) const {
    const std::size_t b = i / block;
    const std::uint32_t* before = counts_before_block(b);
    std::copy(before, before + counts_.size(), counts);
    for (std::size_t q = b * block; q < i; ++q) ++counts[codes_[q]];
}

}  // namespace vorlan2
