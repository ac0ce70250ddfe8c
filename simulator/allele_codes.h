// The alleles of every candidate haplotype at a run of consecutive disease
// loci, one code per candidate, with the counts of each code before every
// block of candidates: how many candidates carry each code among the first i
// takes one block's scan instead of a pass over all of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace vorlan2 {

class AlleleCodes {
public:
    // A candidate's alleles at the run's loci, one bit per locus.
    using Code = std::uint8_t;
    // Candidates between two stored counts.
    static constexpr std::size_t block = 256;
    // Runs of at most this many loci fit a code.
    static constexpr int max_loci = std::numeric_limits<Code>::digits;

    AlleleCodes() = default;
    // No candidate yet, at `loci` loci (1 to max_loci).
    explicit AlleleCodes(int loci);

    // Appends a candidate whose allele at locus k of the run is bit k of code.
    void push_back(Code code);

    int loci() const { return loci_; }
    std::size_t size() const { return codes_.size(); }
    const Code* codes() const { return codes_.data(); }
    // Counts of each code among the first b * block candidates, b * block <= size().
    const std::uint32_t* counts_before_block(std::size_t b) const;
    // Counts of each code among the first i candidates (i <= size()), into counts.
    void count_before(std::size_t i, std::uint32_t* counts) const;

private:
    int loci_ = 0;
    std::vector<Code> codes_;                  // per candidate
    std::vector<std::uint32_t> block_counts_;  // per block begun: counts of each code before it
    std::vector<std::uint32_t> counts_;        // counts of each code among all candidates
};

}  // namespace vorlan2
