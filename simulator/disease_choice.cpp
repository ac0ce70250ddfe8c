// The disease-segment copy choices of one case, four at a time: their sums
// and their subtraction scans are independent chains of additions, which run
// side by side instead of one after another.
#include "simulator/disease_choice.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "simulator/invariant.h"

namespace {

constexpr int lanes = disease_choice_lanes;
constexpr int patterns_per_table = 1 << max_pattern_loci;

using Table = std::array<double, patterns_per_table>;

// Weight of each pattern: 1.0 times one factor per locus, in locus order.
void fill_weights(const DiseaseSegmentChoice& segment, Table& weights) {
    const double keep = 1 - segment.mu;
    for (int pattern = 0; pattern < (1 << segment.loci); ++pattern) {
        double weight = 1.0;
        for (int k = 0; k < segment.loci; ++k) weight *= (pattern >> k) & 1 ? keep : segment.mu;
        weights[static_cast<std::size_t>(pattern)] = weight;
    }
}

// Up to four segments; unused lanes repeat the first one and are ignored.
void choose_lanes(DiseaseSegmentChoice* const* segment, int shared) {
    Table weights[lanes];
    const std::uint8_t* patterns[lanes];
    for (int l = 0; l < lanes; ++l) {
        fill_weights(*segment[l], weights[l]);
        patterns[l] = segment[l]->patterns;
    }

    double sum[lanes] = {0.0, 0.0, 0.0, 0.0};
    for (int q = 0; q < shared; ++q) {
        sum[0] += weights[0][patterns[0][q]];
        sum[1] += weights[1][patterns[1][q]];
        sum[2] += weights[2][patterns[2][q]];
        sum[3] += weights[3][patterns[3][q]];
    }
    for (int l = 0; l < lanes; ++l) {
        if (segment[l]->extra_pattern >= 0) sum[l] += weights[l][static_cast<std::size_t>(segment[l]->extra_pattern)];
        // Some panel or control haplotype carries the drawn alleles.
        VORLAN2_CHECK(sum[l] > 0.0 && std::isfinite(sum[l]));
    }
    for (int l = 0; l < lanes; ++l)
        for (int pattern = 0; pattern < (1 << segment[l]->loci); ++pattern)
            weights[l][static_cast<std::size_t>(pattern)] /= sum[l];

    // Once the rest is not positive it stays so (every weight is >= 0), so a
    // lane's choice is the number of subtractions that left it positive, and
    // lanes may go on past their choice.
    double u[lanes];
    int positive[lanes] = {0, 0, 0, 0};
    for (int l = 0; l < lanes; ++l) u[l] = segment[l]->u;
    constexpr int stretch = 256;
    for (int q = 0; q < shared;) {
        const int end = std::min(shared, q + stretch);
        for (; q < end; ++q) {
            u[0] -= weights[0][patterns[0][q]];
            u[1] -= weights[1][patterns[1][q]];
            u[2] -= weights[2][patterns[2][q]];
            u[3] -= weights[3][patterns[3][q]];
            positive[0] += u[0] > 0.0;
            positive[1] += u[1] > 0.0;
            positive[2] += u[2] > 0.0;
            positive[3] += u[3] > 0.0;
        }
        if (u[0] <= 0.0 && u[1] <= 0.0 && u[2] <= 0.0 && u[3] <= 0.0) break;
    }
    for (int l = 0; l < lanes; ++l) {
        int candidates = shared;
        if (segment[l]->extra_pattern >= 0) {
            ++candidates;
            u[l] -= weights[l][static_cast<std::size_t>(segment[l]->extra_pattern)];
            positive[l] += u[l] > 0.0;
        }
        segment[l]->chosen = std::min(positive[l], candidates - 1);
    }
}

}  // namespace

void choose_disease_candidates(DiseaseSegmentChoice* segments, std::size_t count, int shared) {
    for (std::size_t first = 0; first < count; first += lanes) {
        DiseaseSegmentChoice* lane[lanes];
        DiseaseSegmentChoice spare[lanes];
        for (int l = 0; l < lanes; ++l) {
            const std::size_t i = first + static_cast<std::size_t>(l);
            if (i < count) {
                lane[l] = &segments[i];
            } else {
                spare[l] = segments[first];
                lane[l] = &spare[l];
            }
        }
        choose_lanes(lane, shared);
    }
}
