// The alleles of every candidate haplotype at a run of consecutive disease
// loci: one code per candidate, numbering the distinct allele vectors in the
// order they first appear, with the counts of each code before every block of
// candidates, so that how many candidates carry each code among the first i
// takes one block's scan instead of a pass over all of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorlan2 {

class AlleleCodes {
public:
    using Code = std::uint32_t;
    // Allele vectors are packed: the allele at locus k of the run is bit k % 64 of word k / 64.
    using Word = std::uint64_t;

    // Counts of each code among the candidates before a stored block; codes
    // numbered later have none.
    struct Counts {
        const std::uint32_t* counts;
        std::size_t codes;
    };

    AlleleCodes() = default;
    // No candidate yet, at `loci` loci (at least 1).
    explicit AlleleCodes(int loci);

    // Appends a candidate with the given packed alleles.
    void push_back(const Word* alleles);
    // The code of the given packed alleles, numbered now (carried by no
    // candidate yet) when no candidate carries them.
    Code code_of(const Word* alleles);
    // Whether the given packed alleles have a code, and which.
    bool find(const Word* alleles, Code& code) const;

    int loci() const { return loci_; }
    int words() const { return words_; }
    std::size_t size() const { return codes_.size(); }
    std::size_t code_count() const { return counts_.size(); }
    const Code* codes() const { return codes_.data(); }
    // The packed alleles of a code.
    const Word* alleles(Code code) const { return vectors_.data() + static_cast<std::size_t>(code) * words_; }
    // Candidates between two stored counts: a power of two, grown with the
    // codes so that the stored counts take at most about 8 times what the codes take.
    std::size_t block() const { return block_; }
    // Counts before candidate b * block() (at most size()).
    Counts counts_before_block(std::size_t b) const;
    // Counts among all candidates.
    Counts counts() const { return {counts_.data(), counts_.size()}; }
    // Counts of each code among the first i candidates (i <= size()) into
    // counts, which holds code_count() entries.
    void count_before(std::size_t i, std::uint32_t* counts) const;
    // Heap bytes held.
    std::size_t bytes() const;

private:
    Code find_or_add(const Word* alleles);
    void coarsen_blocks();

    int loci_ = 0;
    int words_ = 0;
    std::vector<Code> codes_;                  // per candidate
    std::vector<Word> vectors_;                // per code, its packed alleles
    std::vector<std::vector<Code>> trie_;      // per locus k: per node of the first k alleles, its two children
    std::vector<std::uint32_t> counts_;        // per code, among all candidates
    std::size_t block_ = 256;                  // candidates between stored counts
    std::vector<std::uint32_t> block_counts_;  // the counts before every block begun, one after another
    std::vector<std::size_t> block_offsets_;   // per block begun, where its counts start in block_counts_
};

}  // namespace vorlan2
