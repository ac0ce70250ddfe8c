// Disease-segment copy choices from match patterns, four side by side,
// against the written computation: one weight per candidate, normalised by
// the sum in candidate order, chosen by subtraction.
#include "simulator/disease_choice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

std::vector<double> written_weights(const DiseaseSegmentChoice& segment, int shared) {
    const int K = shared + (segment.extra_pattern >= 0 ? 1 : 0);
    std::vector<double> weights(static_cast<std::size_t>(K), 1.0);
    for (int k = 0; k < segment.loci; ++k) {
        for (int q = 0; q < K; ++q) {
            const int pattern = q < shared ? segment.patterns[q] : segment.extra_pattern;
            weights[static_cast<std::size_t>(q)] *= (pattern >> k) & 1 ? 1 - segment.mu : segment.mu;
        }
    }
    double sum = 0;
    for (const double weight : weights) sum += weight;
    for (double& weight : weights) weight /= sum;
    return weights;
}

int written_choice(const DiseaseSegmentChoice& segment, int shared) {
    const std::vector<double> weights = written_weights(segment, shared);
    double u = segment.u;
    for (std::size_t q = 0; q < weights.size(); ++q) {
        u -= weights[q];
        if (u <= 0.0) return static_cast<int>(q);
    }
    return static_cast<int>(weights.size()) - 1;
}

TEST(ChooseDiseaseCandidates, EqualsTheWrittenComputation) {
    std::mt19937 random(23);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int compared = 0;
    for (const int shared : {1, 2, 5, 255, 256, 257, 1000, 20000}) {
        for (const double mu : {0.0, 1e-5, 0.01, 0.25, 0.5}) {
            for (const std::size_t count : {1u, 3u, 4u, 5u, 9u}) {
                std::vector<std::vector<std::uint8_t>> patterns(count);
                std::vector<DiseaseSegmentChoice> segments(count);
                for (std::size_t i = 0; i < count; ++i) {
                    DiseaseSegmentChoice& segment = segments[i];
                    segment.loci = 1 + static_cast<int>(random() % max_pattern_loci);
                    segment.mu = mu;
                    const int all = (1 << segment.loci) - 1;
                    // Matches are common, as for a drawn allele that is frequent.
                    for (int q = 0; q < shared; ++q) {
                        int pattern = 0;
                        for (int k = 0; k < segment.loci; ++k) pattern |= (unit(random) < 0.7) << k;
                        patterns[i].push_back(static_cast<std::uint8_t>(pattern));
                    }
                    // Some candidate carries the drawn alleles, so the weights never sum to 0.
                    patterns[i][random() % static_cast<unsigned>(shared)] = static_cast<std::uint8_t>(all);
                    segment.patterns = patterns[i].data();
                    segment.extra_pattern = i % 2 ? static_cast<int>(random() % (all + 1u)) : -1;
                    segment.u = unit(random);
                }
                // For the first segment also draws at the ends of the range and exactly
                // at the first candidate's weight, where the rest reaches 0 at once.
                const double first_weight = written_weights(segments[0], shared)[0];
                for (const double u : {segments[0].u, 1.1641532182693481e-10, 0.9999999998835847, first_weight,
                                       std::nextafter(first_weight, 0.0), std::nextafter(first_weight, 1.0)}) {
                    segments[0].u = u;
                    choose_disease_candidates(segments.data(), segments.size(), shared);
                    for (const DiseaseSegmentChoice& segment : segments) {
                        ASSERT_EQ(segment.chosen, written_choice(segment, shared))
                            << "shared " << shared << " mu " << mu << " loci " << segment.loci << " u " << segment.u;
                        ++compared;
                    }
                }
            }
        }
    }
    EXPECT_GT(compared, 5000);
}

TEST(ChooseDiseaseCandidates, TheDrawDecidesAtTheBoundaries) {
    // Two candidates of equal weight 1/2: a draw of exactly 1/2 leaves 0 after
    // the first subtraction and so chooses candidate 0.
    const std::uint8_t patterns[] = {1, 1};
    DiseaseSegmentChoice segment;
    segment.patterns = patterns;
    segment.loci = 1;
    segment.mu = 0.1;
    const struct {
        double u;
        int chosen;
    } cases[] = {{0.5, 0}, {std::nextafter(0.5, 1.0), 1}, {1e-300, 0}, {0.9999999998835847, 1}};
    for (const auto& c : cases) {
        segment.u = c.u;
        choose_disease_candidates(&segment, 1, 2);
        EXPECT_EQ(segment.chosen, c.chosen) << c.u;
    }
    // The same individual's strand 0 as the last, the only matching, candidate.
    const std::uint8_t mismatching[] = {0, 0, 0};
    segment.patterns = mismatching;
    segment.mu = 0.0;
    segment.extra_pattern = 1;
    segment.u = 0.3;
    choose_disease_candidates(&segment, 1, 3);
    EXPECT_EQ(segment.chosen, 3);
}

}  // namespace
