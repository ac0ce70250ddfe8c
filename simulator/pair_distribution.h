// The case distribution of one grouping of the disease loci: every pair of
// strand allele vectors in the written order, weighted by the strands'
// control frequencies and the relative risks of the genotypes it forms, and
// keyed by the running total of the weights over the final total. Held as
// the two strands' lists and the running total at the start of every stride
// of pairs: a draw repeats at most one stride of the additions, the same
// ones in the same order, and so finds the pair that the whole table of the
// written computation (see copy_choice.h) gives.
#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <vector>

#include "simulator/allele_codes.h"
#include "simulator/control_table.h"

namespace vorlan2 {

// One strand's allele vectors at all loci: the products of its groups'
// tables, in order.
struct StrandList {
    int words = 0;                           // packed words per entry
    std::vector<AlleleCodes::Word> alleles;  // per entry, packed over all loci
    std::vector<double> probability;         // per entry

    std::size_t size() const { return probability.size(); }
    const AlleleCodes::Word* entry(std::size_t i) const { return alleles.data() + i * static_cast<std::size_t>(words); }
    std::size_t bytes() const;
};

// Entries of the list that the given tables (a strand's groups, in order)
// make, or 0 when the count does not fit a std::size_t.
std::size_t list_entries(const std::vector<const ControlTable*>& tables);
// Bytes that a list of `entries` entries over `loci` loci takes.
std::size_t list_bytes(std::size_t entries, int loci);

// The list made from a strand's group tables: the first table's entries,
// then each entry followed by each entry of the next table, its probability
// the product in table order.
StrandList strand_list(const std::vector<const ControlTable*>& tables, int loci);

class PairDistribution {
public:
    using Risks = std::vector<std::array<double, 3>>;  // per locus, by the copies of allele 1

    PairDistribution() = default;
    // Adds up every pair's weight, r (1.0 times each locus's risk, in locus
    // order) times the strand 0 probability times the strand 1 probability,
    // keeping the running total at every stride of pairs; the stride is the
    // least power of two from 256 up whose totals take at most
    // `max_total_bytes`, and the work takes about as much again.
    PairDistribution(StrandList strand0, StrandList strand1, Risks risks, std::size_t max_total_bytes);

    double total() const { return total_; }
    std::size_t pairs() const { return lists_[0].size() * lists_[1].size(); }
    // The first pair whose running total over the final total is above u.
    std::size_t draw(double u) const;
    // Strand s's alleles of pair n, one per locus.
    void alleles(std::size_t pair, int s, std::vector<int>& out) const;
    // The recorded keys and their pairs, as the written computation's table
    // holds them: a pair that leaves the running total unchanged has no key,
    // nor one whose key the division makes equal to an earlier one.
    std::map<double, std::size_t> entries() const;
    std::size_t bytes() const;

private:
    // The weight of pair n, computed from scratch.
    double weight(std::size_t pair) const;

    StrandList lists_[2];
    Risks risks_;
    std::size_t stride_ = 256;
    std::vector<double> totals_;  // per stride, the running total before its first pair
    double total_ = 0.0;
};

}  // namespace vorlan2
