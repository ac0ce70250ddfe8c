// The copy choice of a case's disease segments. A candidate's weight is a
// product of one factor per locus of the segment, (1 - mu) where its allele
// is the drawn one and mu where not, so it depends only on the candidate's
// code at the segment's loci: one weight per code, taken in the same order of
// operations as one weight per candidate would be. The choice is located
// from the counts of codes wherever rounding provably cannot move it, and by
// the written computation (see copy_choice.h) elsewhere.
#pragma once

#include <cstddef>
#include <vector>

#include "simulator/allele_codes.h"

namespace vorlan2 {

struct DiseaseSegmentChoice {
    // inputs
    const AlleleCodes* codes = nullptr;  // the candidates' alleles at the segment's loci
    AlleleCodes::Code drawn = 0;         // code of the drawn alleles
    int extra_code = -1;                 // code of one more candidate after the shared ones (-1: none)
    double mu = 0.0;                     // mutation rate of the strand
    double u = 0.0;                      // the draw of this choice
    // result
    int chosen = -1;
};

class DiseaseSegmentChooser {
public:
    // margin_scale narrows the proven margin when below 1; only a test
    // sets it, to show that draws near the boundaries catch a bound too small.
    explicit DiseaseSegmentChooser(double margin_scale = 1.0) : margin_scale_(margin_scale) {}

    // Chooses every segment's candidate as the written computation does:
    // weights (1.0 times each locus's factor in locus order), divided by
    // their sum taken in candidate order, then subtracted from u in candidate
    // order until the rest is not positive (the last candidate when it stays
    // positive). The first `shared` candidates of every segment's codes come
    // first, then its extra candidate. Returns how many segments the written
    // computation decided.
    std::size_t choose(DiseaseSegmentChoice* segments, std::size_t count, int shared);

    // Segments that the written computation decides side by side.
    static constexpr int lanes = 4;

private:
    // The heavy codes' counted weight among the shared candidates, and a
    // bound on the light codes'.
    struct Split {
        double heavy = 0.0;
        double light = 0.0;
    };

    int choose_from_counts(const DiseaseSegmentChoice& segment, int shared);
    // The heavy codes found by looking up the vectors near the drawn alleles;
    // false, with none found, where that would cost more than going over
    // every code.
    bool heavy_near_drawn(const AlleleCodes& codes, AlleleCodes::Code drawn, const std::uint32_t* counts, int shared,
                          double extra_weight, Split& split);
    // The heavy codes found by going over every code.
    void heavy_by_scan(const AlleleCodes& codes, AlleleCodes::Code drawn, const std::uint32_t* counts,
                       double extra_weight, Split& split);
    // The candidate where the rest crosses zero, from the counts of the heavy codes.
    int locate_crossing(const AlleleCodes& codes, int shared, double u, double total, int K, std::size_t terms,
                        double light);
    void choose_written(DiseaseSegmentChoice* const* pending, int count, int shared);

    double margin_scale_;
    // Working tables, kept between calls so that choices allocate nothing.
    std::vector<double> weights_[lanes];       // per code
    std::vector<std::uint32_t> counts_;        // per code
    std::vector<double> powers_;               // of mu
    std::vector<double> distance_weights_;     // per number of differing loci, the counted weight
    std::vector<std::uint16_t> differ_;        // per code, its loci unlike the drawn alleles
    std::vector<std::uint64_t> at_distance_;   // per number of differing loci, the shared candidates
    std::vector<double> tail_;                 // per distance d, the counted weight of the candidates at d or more
    std::vector<AlleleCodes::Code> heavy_;     // codes that locate the crossing
    std::vector<double> heavy_weights_;        // per heavy code, its counted weight
    std::vector<double> farther_;              // per distance d, the heaviest counted weight beyond d
    std::vector<AlleleCodes::Word> ball_;      // a vector near the drawn alleles
    std::vector<int> shell_loci_;              // the loci where it differs from them
    std::vector<int> heavy_index_;             // per code, its place in heavy_ while counted (-1: none)
    std::vector<std::uint32_t> heavy_counts_;  // per heavy code
};

}  // namespace vorlan2
