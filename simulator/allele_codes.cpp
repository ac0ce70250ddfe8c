// Numbering candidates' allele vectors through a trie over the run's loci,
// and counting the codes before every block.
#include "simulator/allele_codes.h"

#include <algorithm>
#include <limits>

#include "common/invariant.h"

namespace vorlan2 {

namespace {

constexpr AlleleCodes::Code none = std::numeric_limits<AlleleCodes::Code>::max();

}  // namespace

AlleleCodes::AlleleCodes(int loci) : loci_(loci), words_((loci + 63) / 64), trie_(static_cast<std::size_t>(loci)) {
    VORLAN2_CHECK(loci >= 1);
    trie_[0].assign(2, none);
}

AlleleCodes::Code AlleleCodes::find_or_add(const Word* alleles) {
    Code node = 0;
    for (int k = 0; k < loci_; ++k) {
        const std::size_t child = 2 * static_cast<std::size_t>(node) + ((alleles[k >> 6] >> (k & 63)) & 1u);
        std::vector<Code>& level = trie_[static_cast<std::size_t>(k)];
        if (level[child] == none) {
            if (k + 1 < loci_) {
                std::vector<Code>& next = trie_[static_cast<std::size_t>(k) + 1];
                level[child] = static_cast<Code>(next.size() / 2);
                next.insert(next.end(), 2, none);
            } else {
                VORLAN2_CHECK(counts_.size() < none);
                level[child] = static_cast<Code>(counts_.size());
                counts_.push_back(0);
                vectors_.insert(vectors_.end(), alleles, alleles + words_);
                // Bits past the last locus stay clear, so vectors compare word by word.
                if (loci_ % 64 != 0) vectors_.back() &= (Word{1} << (loci_ % 64)) - 1;
            }
        }
        node = level[child];
    }
    return node;
}

AlleleCodes::Code AlleleCodes::code_of(const Word* alleles) { return find_or_add(alleles); }

bool AlleleCodes::find(const Word* alleles, Code& code) const {
    Code node = 0;
    for (int k = 0; k < loci_; ++k) {
        node = trie_[static_cast<std::size_t>(k)]
                    [2 * static_cast<std::size_t>(node) + ((alleles[k >> 6] >> (k & 63)) & 1u)];
        if (node == none) return false;
    }
    code = node;
    return true;
}

void AlleleCodes::push_back(const Word* alleles) {
    if (codes_.size() % block_ == 0) {
        block_offsets_.push_back(block_counts_.size());
        block_counts_.insert(block_counts_.end(), counts_.begin(), counts_.end());
        if (block_counts_.size() > 8 * codes_.size() + 4096) coarsen_blocks();
    }
    const Code code = find_or_add(alleles);
    codes_.push_back(code);
    ++counts_[code];
}

// Doubling the block keeps the counts of every other block start.
void AlleleCodes::coarsen_blocks() {
    std::vector<std::uint32_t> kept;
    std::vector<std::size_t> offsets;
    for (std::size_t b = 0; b < block_offsets_.size(); b += 2) {
        const std::size_t end = b + 1 < block_offsets_.size() ? block_offsets_[b + 1] : block_counts_.size();
        offsets.push_back(kept.size());
        kept.insert(kept.end(), block_counts_.begin() + static_cast<std::ptrdiff_t>(block_offsets_[b]),
                    block_counts_.begin() + static_cast<std::ptrdiff_t>(end));
    }
    block_counts_ = std::move(kept);
    block_offsets_ = std::move(offsets);
    block_ *= 2;
}

AlleleCodes::Counts AlleleCodes::counts_before_block(std::size_t b) const {
    VORLAN2_CHECK(b * block_ <= codes_.size());
    if (b * block_ == codes_.size()) return {counts_.data(), counts_.size()};
    const std::size_t end = b + 1 < block_offsets_.size() ? block_offsets_[b + 1] : block_counts_.size();
    return {block_counts_.data() + block_offsets_[b], end - block_offsets_[b]};
}

void AlleleCodes::count_before(std::size_t i, std::uint32_t* counts) const {
    const std::size_t b = i / block_;
    const Counts before = counts_before_block(b);
    std::copy(before.counts, before.counts + before.codes, counts);
    std::fill(counts + before.codes, counts + counts_.size(), 0u);
    for (std::size_t q = b * block_; q < i; ++q) ++counts[codes_[q]];
}

std::size_t AlleleCodes::bytes() const {
    std::size_t trie = 0;
    for (const std::vector<Code>& level : trie_) trie += level.capacity() * sizeof(Code);
    return codes_.capacity() * sizeof(Code) + vectors_.capacity() * sizeof(Word) + trie +
           counts_.capacity() * sizeof(std::uint32_t) + block_counts_.capacity() * sizeof(std::uint32_t) +
           block_offsets_.capacity() * sizeof(std::size_t);
}

}  // namespace vorlan2
