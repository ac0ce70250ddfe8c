// Disease-segment copy choices against the written computation (one weight
// per candidate, normalised by the sum in candidate order, chosen by
// subtraction): on ordinary draws, and on draws at the boundaries where the
// written computation's rounding decides and within the bound of them.
#include "simulator/disease_choice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

using namespace vorlan2;

namespace {

using Word = AlleleCodes::Word;

bool allele(const AlleleCodes& codes, AlleleCodes::Code code, int k) {
    return (codes.alleles(code)[k / 64] >> (k % 64)) & 1u;
}

// The written computation for one segment, its weights taken once.
class WrittenChoice {
public:
    WrittenChoice(const DiseaseSegmentChoice& segment, int shared) {
        const AlleleCodes& codes = *segment.codes;
        const int K = shared + (segment.extra_code >= 0 ? 1 : 0);
        weights_.assign(static_cast<std::size_t>(K), 1.0);
        for (int k = 0; k < codes.loci(); ++k) {
            for (int q = 0; q < K; ++q) {
                const AlleleCodes::Code code = q < shared ? codes.codes()[q]
                                                          : static_cast<AlleleCodes::Code>(segment.extra_code);
                const bool matches = allele(codes, code, k) == allele(codes, segment.drawn, k);
                weights_[static_cast<std::size_t>(q)] *= matches ? 1 - segment.mu : segment.mu;
            }
        }
        unnormalised_ = weights_;
        double sum = 0;
        for (const double weight : weights_) sum += weight;
        for (double& weight : weights_) weight /= sum;
    }

    int choose(double u) const {
        for (std::size_t q = 0; q < weights_.size(); ++q) {
            u -= weights_[q];
            if (u <= 0.0) return static_cast<int>(q);
        }
        return static_cast<int>(weights_.size()) - 1;
    }

    // The largest draw that chooses a candidate below i (0 < i < K, candidate
    // i - 1 of positive weight), searched for between two draws that choose
    // below i and not (else between 2^-1074 and 1): the choice only grows
    // with the draw.
    double last_draw_below(int i, double below, double not_below) const {
        std::uint64_t low = to_bits(below), high = to_bits(not_below);
        if (!(below > 0.0 && choose(below) < i && not_below < 1.0 && choose(not_below) >= i)) {
            low = to_bits(0x1p-1074);
            high = to_bits(1.0);
        }
        while (high - low > 1) {
            const std::uint64_t middle = low + (high - low) / 2;
            (choose(from_bits(middle)) < i ? low : high) = middle;
        }
        return from_bits(low);
    }

    // The exact boundary of candidate i, the sum of the weights before it
    // over the sum of all, as nearly as a long double gives it.
    double exact_boundary(int i) const {
        long double below = 0, all = 0;
        for (int q = 0; q < candidates(); ++q) {
            if (q == i) below = all;
            all += unnormalised_[static_cast<std::size_t>(q)];
        }
        return static_cast<double>(below / all);
    }

    double weight(int q) const { return weights_[static_cast<std::size_t>(q)]; }
    int candidates() const { return static_cast<int>(weights_.size()); }

private:
    static std::uint64_t to_bits(double value) {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return bits;
    }
    static double from_bits(std::uint64_t bits) {
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    std::vector<double> unnormalised_;
    std::vector<double> weights_;
};

std::vector<Word> random_vector(int loci, std::mt19937& random) {
    std::vector<Word> packed(static_cast<std::size_t>((loci + 63) / 64));
    for (int k = 0; k < loci; ++k)
        if (random() % 2) packed[static_cast<std::size_t>(k / 64)] ^= Word{1} << (k % 64);
    return packed;
}

// Codes over `shared` candidates that carry each allele of `drawn` with the
// given probability; some candidate carries all of them, as a panel or
// control haplotype always does, so that the weights never sum to 0.
std::unique_ptr<AlleleCodes> random_codes(int loci, const std::vector<Word>& drawn, int shared, double match,
                                          std::mt19937& random) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const int carrier = static_cast<int>(random() % static_cast<unsigned>(shared));
    auto codes = std::make_unique<AlleleCodes>(loci);
    for (int q = 0; q < shared; ++q) {
        std::vector<Word> alleles = drawn;
        for (int k = 0; k < loci; ++k)
            if (q != carrier && unit(random) >= match) alleles[static_cast<std::size_t>(k / 64)] ^= Word{1} << (k % 64);
        codes->push_back(alleles.data());
    }
    return codes;
}

// An extra candidate's code: its alleles drawn at random, numbered when no
// candidate carries them.
int random_extra(AlleleCodes& codes, std::mt19937& random) {
    return static_cast<int>(codes.code_of(random_vector(codes.loci(), random).data()));
}

TEST(ChooseDiseaseCandidates, EqualsTheWrittenComputation) {
    std::mt19937 random(23);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::size_t compared = 0, ordinary_written = 0;
    DiseaseSegmentChooser chooser;
    const int loci_choices[] = {1, 2, 5, 8, 9, 12, 16, 20, 24, 70};
    for (const int shared : {1, 2, 5, 255, 256, 257, 1000, 20000}) {
        for (const double mu : {0.0, 1e-300, 1e-5, 0.01, 0.25, 0.5}) {
            for (const std::size_t count : {1u, 3u, 4u, 5u, 9u}) {
                std::vector<std::unique_ptr<AlleleCodes>> codes;
                std::vector<DiseaseSegmentChoice> segments(count);
                for (std::size_t i = 0; i < count; ++i) {
                    const int loci = loci_choices[random() % std::size(loci_choices)];
                    // Matches are common, as for a drawn allele that is frequent.
                    codes.push_back(random_codes(loci, random_vector(loci, random), shared, 0.7, random));
                }
                for (std::size_t i = 0; i < count; ++i) {
                    DiseaseSegmentChoice& segment = segments[i];
                    segment.codes = codes[i].get();
                    segment.drawn = codes[i]->codes()[random() % static_cast<unsigned>(shared)];
                    segment.mu = mu;
                    segment.extra_code = i % 2 ? random_extra(*codes[i], random) : -1;
                    segment.u = unit(random);
                }
                // For the first segment also draws at the ends of the generator's
                // range and at the first candidate's weight, where the rest reaches
                // 0 at once.
                std::vector<WrittenChoice> references;
                for (const DiseaseSegmentChoice& segment : segments) references.emplace_back(segment, shared);
                const double first_weight = references[0].weight(0);
                const double ordinary = segments[0].u;
                for (const double u : {ordinary, 1.1641532182693481e-10, 0.9999999998835847, first_weight,
                                       std::nextafter(first_weight, 0.0), std::nextafter(first_weight, 1.0)}) {
                    segments[0].u = u;
                    const std::size_t written = chooser.choose(segments.data(), segments.size(), shared);
                    if (u == ordinary) ordinary_written += written;
                    for (std::size_t i = 0; i < count; ++i) {
                        const DiseaseSegmentChoice& segment = segments[i];
                        ASSERT_EQ(segment.chosen, references[i].choose(segment.u))
                            << "shared " << shared << " mu " << mu << " loci " << segment.codes->loci() << " u "
                            << segment.u;
                        ++compared;
                    }
                }
            }
        }
    }
    EXPECT_GT(compared, 5000u);
    // Ordinary draws are decided from the counts.
    EXPECT_EQ(ordinary_written, 0u);
}

// Segments set up so that the written computation's rounding decides many
// draws: many candidates of few weights make its rounding errors add up
// instead of cancelling; candidates of one weight 1 - mu, with mu near half a
// unit in the last place of their sum, make the sum err by nearly the most it
// can: a fifth of the bound below a tenth of the candidates.
struct BoundarySetup {
    int shared;
    std::vector<int> loci;  // one segment each
    double mu;
    double match;
    bool extra;
};

const BoundarySetup boundary_setups[] = {
    {1 << 12, {1}, 0x1p-42, 1.0, false},       {1 << 14, {1, 2}, 0x1p-40, 1.0, true},
    {20000, {1, 1, 2}, 1e-6, 0.95, true},      {20000, {1, 3, 8, 1}, 0.01, 0.8, false},
    {10000, {1, 2, 4, 6, 8}, 0.25, 0.6, true}, {5000, {1, 2, 5, 8, 8}, 0.0, 0.6, false},
    {1000, {1, 2, 7}, 1e-300, 0.8, true},      {300, {1, 8}, 0.01, 0.7, true},
    {1 << 13, {9, 12}, 0x1p-41, 1.0, true},    {20000, {9, 12, 16, 20}, 1e-6, 0.97, true},
    {8000, {10, 20, 33}, 0.01, 0.9, false},    {3000, {9, 14, 20, 70}, 0.25, 0.8, true},
};

struct BoundaryCounts {
    std::size_t compared = 0;
    std::size_t written = 0;
    std::size_t wrong = 0;
};

// Every setup's segments side by side, each with draws at its boundaries and
// within the bound of them; counts the choices that differ from the written
// computation's.
BoundaryCounts choose_at_boundaries(DiseaseSegmentChooser& chooser) {
    std::mt19937 random(41);
    BoundaryCounts totals;
    for (const BoundarySetup& setup : boundary_setups) {
        const std::size_t count = setup.loci.size();
        std::vector<std::unique_ptr<AlleleCodes>> codes;
        std::vector<DiseaseSegmentChoice> segments(count);
        std::vector<std::vector<double>> draws(count);
        std::vector<WrittenChoice> references;
        for (std::size_t i = 0; i < count; ++i) {
            const int loci = setup.loci[i];
            const std::vector<Word> drawn = random_vector(loci, random);
            codes.push_back(random_codes(loci, drawn, setup.shared, setup.match, random));
            DiseaseSegmentChoice& segment = segments[i];
            segment.codes = codes[i].get();
            segment.drawn = codes[i]->code_of(drawn.data());
            segment.mu = setup.mu;
            segment.extra_code = setup.extra ? random_extra(*codes[i], random) : -1;
            references.emplace_back(segment, setup.shared);
            const WrittenChoice& reference = references.back();
            const int K = reference.candidates();
            // Boundaries: after the first candidate, before the last and the
            // extra one, and some in between; each below a candidate of weight.
            std::vector<int> boundaries = {1, K / 10, K / 3, K - 1, setup.shared};
            for (int b = 0; b < 5; ++b)
                boundaries.push_back(1 + static_cast<int>(random() % static_cast<unsigned>(K - 1)));
            const double bound = K * 0x1p-52;
            for (int boundary : boundaries) {
                while (boundary > 1 && reference.weight(boundary - 1) == 0.0) --boundary;
                if (boundary < 1 || boundary >= K || reference.weight(boundary - 1) == 0.0) continue;
                const double exact = reference.exact_boundary(boundary);
                const double last_below = reference.last_draw_below(boundary, exact - 4 * bound, exact + 4 * bound);
                for (const double u : {last_below, std::nextafter(last_below, 1.0), std::nextafter(last_below, 0.0),
                                       exact, std::nextafter(exact, 1.0), std::nextafter(exact, 0.0)})
                    draws[i].push_back(u);
                for (int k = -20; k <= 20; ++k) {
                    draws[i].push_back(last_below + k * bound / 8);
                    draws[i].push_back(exact + k * bound / 8);
                }
            }
        }
        std::size_t most = 0;
        for (const auto& d : draws) most = std::max(most, d.size());
        for (std::size_t t = 0; t < most; ++t) {
            for (std::size_t i = 0; i < count; ++i) segments[i].u = draws[i][t % draws[i].size()];
            for (DiseaseSegmentChoice& segment : segments)
                if (!(segment.u > 0.0 && segment.u < 1.0)) segment.u = 0.5;
            totals.written += chooser.choose(segments.data(), count, setup.shared);
            for (std::size_t i = 0; i < count; ++i) {
                totals.wrong += segments[i].chosen != references[i].choose(segments[i].u);
                ++totals.compared;
            }
        }
    }
    return totals;
}

TEST(ChooseDiseaseCandidates, DrawsAtBoundariesAndWithinTheBoundOfThem) {
    DiseaseSegmentChooser chooser;
    const BoundaryCounts counts = choose_at_boundaries(chooser);
    EXPECT_EQ(counts.wrong, 0u);
    // Draws within the bound go to the written computation, the others not.
    EXPECT_GT(counts.written, counts.compared / 10);
    EXPECT_LT(counts.written, counts.compared * 9 / 10);
}

TEST(ChooseDiseaseCandidates, TheBoundaryDrawsCatchABoundTooSmall) {
    // The same draws with the margin narrowed: some choice then differs.
    for (const double scale : {0.0, 1.0 / 16}) {
        DiseaseSegmentChooser narrowed(scale);
        EXPECT_GT(choose_at_boundaries(narrowed).wrong, 0u) << scale;
    }
}

TEST(ChooseDiseaseCandidates, TheDrawDecidesAtTheBoundaries) {
    // Two candidates of equal weight 1/2: a draw of exactly 1/2 leaves 0 after
    // the first subtraction and so chooses candidate 0.
    const std::vector<Word> one = {1}, zero = {0};
    AlleleCodes matching(1);
    matching.push_back(one.data());
    matching.push_back(one.data());
    DiseaseSegmentChoice segment;
    segment.codes = &matching;
    segment.drawn = 0;
    segment.mu = 0.1;
    DiseaseSegmentChooser chooser;
    const struct {
        double u;
        int chosen;
    } cases[] = {{0.5, 0}, {std::nextafter(0.5, 1.0), 1}, {1e-300, 0}, {0.9999999998835847, 1}};
    for (const auto& c : cases) {
        segment.u = c.u;
        chooser.choose(&segment, 1, 2);
        EXPECT_EQ(segment.chosen, c.chosen) << c.u;
    }
    // The same individual's strand 0 as the last, the only matching, candidate.
    AlleleCodes mismatching(1);
    for (int q = 0; q < 3; ++q) mismatching.push_back(zero.data());
    segment.codes = &mismatching;
    segment.mu = 0.0;
    segment.extra_code = static_cast<int>(mismatching.code_of(one.data()));
    segment.drawn = static_cast<AlleleCodes::Code>(segment.extra_code);
    segment.u = 0.3;
    chooser.choose(&segment, 1, 3);
    EXPECT_EQ(segment.chosen, 3);
}

}  // namespace
