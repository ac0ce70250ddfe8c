// The Haplotype set at one bit per allele: haplotype h is a row of 64-bit
// words, allele j in bit j % 64 of word j / 64. Rows are stored one after
// another in one block, so a run of 40,000 individuals over 100,000 SNPs
// takes 1 GB instead of 16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace vorlan2 {

class HaplotypeSet {
public:
    using Word = std::uint64_t;

    class Row {
    public:
        Row(const Word* words, int snps) : words_(words), snps_(snps) {}
        int operator[](int j) const { return static_cast<int>((words_[j >> 6] >> (j & 63)) & 1u); }
        int size() const { return snps_; }
        const Word* words() const { return words_; }
        bool operator==(const std::vector<int>& alleles) const;

    private:
        const Word* words_;
        int snps_;
    };

    HaplotypeSet() = default;
    // Haplotypes of equal length given as one 0/1 value per SNP.
    HaplotypeSet(std::initializer_list<std::vector<int>> haplotypes);
    // Haplotypes of this many SNPs given as their packed rows, one after another.
    HaplotypeSet(int snps, std::vector<Word> words)
        : snps_(snps), words_per_row_((snps + 63) / 64), words_(std::move(words)) {}

    // Empties the set for haplotypes of this many SNPs and makes room for
    // the given number of haplotypes.
    void reset(int snps, std::size_t haplotypes);
    // Appends a haplotype given as one 0/1 value per SNP.
    template <typename Allele>
    void push_back(const Allele* alleles);
    void push_back(const std::vector<int>& alleles) { push_back(alleles.data()); }
    // Appends a haplotype given as its packed words.
    void push_back_words(const Word* words) { words_.insert(words_.end(), words, words + words_per_row_); }

    std::size_t size() const { return words_.size() / (words_per_row_ == 0 ? 1 : words_per_row_); }
    bool empty() const { return words_.empty(); }
    int snps() const { return snps_; }
    int words_per_row() const { return words_per_row_; }
    Row operator[](std::size_t h) const { return Row(row_words(h), snps_); }

    class const_iterator {
    public:
        const_iterator(const HaplotypeSet* set, std::size_t h) : set_(set), h_(h) {}
        Row operator*() const { return (*set_)[h_]; }
        const_iterator& operator++() {
            ++h_;
            return *this;
        }
        bool operator!=(const const_iterator& other) const { return h_ != other.h_; }

    private:
        const HaplotypeSet* set_;
        std::size_t h_;
    };
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, size()); }
    const Word* row_words(std::size_t h) const { return words_.data() + h * words_per_row_; }

    // The tested SNPs' columns as a small 16-bit haplotype set.
    std::vector<std::vector<std::uint16_t>> columns(const std::vector<int>& snp_indices) const;

    bool operator==(const HaplotypeSet& other) const { return snps_ == other.snps_ && words_ == other.words_; }

private:
    int snps_ = 0;
    int words_per_row_ = 0;
    std::vector<Word> words_;
};

template <typename Allele>
void HaplotypeSet::push_back(const Allele* alleles) {
    const std::size_t start = words_.size();
    words_.resize(start + static_cast<std::size_t>(words_per_row_), 0);
    Word* row = words_.data() + start;
    for (int j = 0; j < snps_; ++j) row[j >> 6] |= static_cast<Word>(alleles[j] & 1) << (j & 63);
}

}  // namespace vorlan2
