// The copy choice of a case's disease segments, computed from match patterns.
// A candidate's weight is a product of one factor per locus of the segment,
// (1 - mu) where its allele matches the drawn one and mu where not, so it
// depends only on which loci match: one weight per pattern, taken in the
// same order of operations as one weight per candidate would be.
#pragma once

#include <cstddef>
#include <cstdint>

// Segments of at most this many loci are chosen from patterns.
constexpr int max_pattern_loci = 8;
// Segments chosen side by side.
constexpr int disease_choice_lanes = 4;

struct DiseaseSegmentChoice {
    // inputs
    const std::uint8_t* patterns = nullptr;  // per shared candidate: bit k set where locus k of the segment matches
    int extra_pattern = -1;  // pattern of one more candidate after the shared ones (-1: none)
    int loci = 0;  // loci in the segment, at most max_pattern_loci
    double mu = 0.0;  // mutation rate of the strand
    double u = 0.0;  // the draw of this choice
    // result
    int chosen = -1;
};

// Chooses every segment's candidate as the written computation does: weights
// (1.0 times each locus's factor in locus order), divided by their sum taken
// in candidate order, then subtracted from u in candidate order until the
// rest is not positive (the last candidate when it stays positive). The first
// `shared` candidates are common to all segments.
void choose_disease_candidates(DiseaseSegmentChoice* segments, std::size_t count, int shared);
