// A control frequency table: the allele vectors seen at a run of disease
// loci among the panel and control haplotypes, in ascending order, each with
// its frequency as the written computation (see copy_choice.h) accumulates
// it.
#pragma once

#include <cstddef>
#include <vector>

#include "simulator/allele_codes.h"

namespace vorlan2 {

struct ControlTable {
    int loci = 0;
    int words = 0;                           // packed words per entry
    std::vector<AlleleCodes::Word> alleles;  // per entry, packed
    std::vector<double> frequency;           // per entry

    std::size_t size() const { return frequency.size(); }
    const AlleleCodes::Word* entry(std::size_t i) const { return alleles.data() + i * static_cast<std::size_t>(words); }
    std::size_t bytes() const {
        return alleles.capacity() * sizeof(AlleleCodes::Word) + frequency.capacity() * sizeof(double);
    }
};

// The table of the first `haplotypes` candidates of codes (the panel's, then
// the controls'), each counting w: a vector carried c times has the value of
// w added to itself c - 1 times in turn, as one addition per haplotype gives
// it. Entries are in the order of their allele vectors compared locus by
// locus, 0 before 1.
ControlTable control_table(const AlleleCodes& codes, std::size_t haplotypes, double w);

// Whether packed allele vector a comes before b, compared locus by locus.
bool comes_before(const AlleleCodes::Word* a, const AlleleCodes::Word* b, int words);

}  // namespace vorlan2
