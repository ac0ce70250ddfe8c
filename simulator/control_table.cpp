// Control frequency tables from the counts of codes.
#include "simulator/control_table.h"

#include <algorithm>

namespace vorlan2 {

bool comes_before(const AlleleCodes::Word* a, const AlleleCodes::Word* b, int words) {
    for (int k = 0; k < words; ++k) {
        const AlleleCodes::Word differ = a[k] ^ b[k];
        // The first locus that differs is the lowest bit set.
        if (differ != 0) return (b[k] & (differ & (~differ + 1))) != 0;
    }
    return false;
}

ControlTable control_table(const AlleleCodes& codes, std::size_t haplotypes, double w) {
    std::vector<std::uint32_t> counts(codes.code_count());
    codes.count_before(haplotypes, counts.data());
    std::vector<AlleleCodes::Code> seen;
    for (std::size_t c = 0; c < counts.size(); ++c)
        if (counts[c] > 0) seen.push_back(static_cast<AlleleCodes::Code>(c));
    const int words = codes.words();
    std::sort(seen.begin(), seen.end(), [&codes, words](AlleleCodes::Code a, AlleleCodes::Code b) {
        return comes_before(codes.alleles(a), codes.alleles(b), words);
    });
    ControlTable table;
    table.loci = codes.loci();
    table.words = words;
    table.alleles.reserve(seen.size() * static_cast<std::size_t>(words));
    table.frequency.reserve(seen.size());
    for (const AlleleCodes::Code c : seen) {
        const AlleleCodes::Word* alleles = codes.alleles(c);
        table.alleles.insert(table.alleles.end(), alleles, alleles + words);
        double frequency = w;
        for (std::uint32_t n = 1; n < counts[c]; ++n) frequency += w;
        table.frequency.push_back(frequency);
    }
    return table;
}

}  // namespace vorlan2
