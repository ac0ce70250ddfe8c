// Packing, unpacking and column extraction of the Haplotype set.
#include "simulator/haplotype_set.h"

#include "simulator/huge_pages.h"

namespace vorlan2 {

bool HaplotypeSet::Row::operator==(const std::vector<int>& alleles) const {
    if (static_cast<int>(alleles.size()) != snps_) return false;
    for (int j = 0; j < snps_; ++j)
        if ((*this)[j] != alleles[j]) return false;
    return true;
}

HaplotypeSet::HaplotypeSet(std::initializer_list<std::vector<int>> haplotypes) {
    reset(haplotypes.size() == 0 ? 0 : static_cast<int>(haplotypes.begin()->size()), haplotypes.size());
    for (const auto& haplotype : haplotypes) push_back(haplotype);
}

void HaplotypeSet::reset(int snps, std::size_t haplotypes) {
    snps_ = snps;
    words_per_row_ = (snps + 63) / 64;
    words_.clear();
    words_.reserve(haplotypes * static_cast<std::size_t>(words_per_row_));
    advise_huge_pages(words_.data(), words_.capacity() * sizeof(Word));
}

std::vector<std::vector<std::uint16_t>> HaplotypeSet::columns(const std::vector<int>& snp_indices) const {
    std::vector<std::vector<std::uint16_t>> result(size(), std::vector<std::uint16_t>(snp_indices.size()));
    for (std::size_t h = 0; h < result.size(); ++h) {
        const Row row = (*this)[h];
        for (std::size_t k = 0; k < snp_indices.size(); ++k)
            result[h][k] = static_cast<std::uint16_t>(row[snp_indices[k]]);
    }
    return result;
}

}  // namespace vorlan2
