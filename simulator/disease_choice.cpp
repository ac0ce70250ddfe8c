// The disease-segment copy choices of one case: located from the counts of
// codes, or, near a boundary, by the written computation, four at a time
// (their sums and their subtraction scans are independent chains of
// additions, which run side by side instead of one after another).
#include "simulator/disease_choice.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "common/invariant.h"

namespace vorlan2 {

namespace {

constexpr int lanes = DiseaseSegmentChooser::lanes;

// Weight of each code: 1.0 times one factor per locus, in locus order.
void fill_weights(const DiseaseSegmentChoice& segment, std::vector<double>& weights) {
    const AlleleCodes& codes = *segment.codes;
    const std::size_t m = codes.code_count();
    const int words = codes.words();
    const double keep = 1 - segment.mu;
    const double mu = segment.mu;
    weights.assign(m, 1.0);
    const AlleleCodes::Word* drawn = codes.alleles(segment.drawn);
    const AlleleCodes::Word* vectors = codes.alleles(0);
    for (int k = 0; k < codes.loci(); ++k) {
        const int word = k >> 6;
        const int bit = k & 63;
        const AlleleCodes::Word wanted = (drawn[word] >> bit) & 1u;
        double* weight = weights.data();
        for (std::size_t c = 0; c < m; ++c)
            weight[c] *=
                ((vectors[c * static_cast<std::size_t>(words) + static_cast<std::size_t>(word)] >> bit) & 1u) == wanted
                    ? keep
                    : mu;
    }
}

// The written computation for up to four segments; unused lanes repeat the
// first one and are ignored.
void choose_lanes(DiseaseSegmentChoice* const* segment, int shared, std::vector<double>* weight_tables) {
    static_assert(lanes == 4, "the sums and the subtractions below are written out for four lanes");
    double* weights[lanes];
    const AlleleCodes::Code* codes[lanes];
    for (int l = 0; l < lanes; ++l) {
        weights[l] = weight_tables[l].data();
        codes[l] = segment[l]->codes->codes();
    }

    double sum[lanes] = {0.0, 0.0, 0.0, 0.0};
    for (int q = 0; q < shared; ++q) {
        sum[0] += weights[0][codes[0][q]];
        sum[1] += weights[1][codes[1][q]];
        sum[2] += weights[2][codes[2][q]];
        sum[3] += weights[3][codes[3][q]];
    }
    for (int l = 0; l < lanes; ++l) {
        if (segment[l]->extra_code >= 0) sum[l] += weights[l][segment[l]->extra_code];
        // Some panel or control haplotype carries the drawn alleles.
        VORLAN2_CHECK(sum[l] > 0.0 && std::isfinite(sum[l]));
    }
    // Divided in place: each lane has a table of its own.
    for (int l = 0; l < lanes; ++l)
        for (std::size_t code = 0; code < weight_tables[l].size(); ++code) weights[l][code] /= sum[l];

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
            u[0] -= weights[0][codes[0][q]];
            u[1] -= weights[1][codes[1][q]];
            u[2] -= weights[2][codes[2][q]];
            u[3] -= weights[3][codes[3][q]];
            positive[0] += u[0] > 0.0;
            positive[1] += u[1] > 0.0;
            positive[2] += u[2] > 0.0;
            positive[3] += u[3] > 0.0;
        }
        if (u[0] <= 0.0 && u[1] <= 0.0 && u[2] <= 0.0 && u[3] <= 0.0) break;
    }
    for (int l = 0; l < lanes; ++l) {
        int candidates = shared;
        if (segment[l]->extra_code >= 0) {
            ++candidates;
            u[l] -= weights[l][segment[l]->extra_code];
            positive[l] += u[l] > 0.0;
        }
        segment[l]->chosen = std::min(positive[l], candidates - 1);
    }
}

// Bits set in a word, by halves, quarters and so on: in vector instructions
// where the processor has no instruction of its own for it.
int bits_set(AlleleCodes::Word x) {
    x = x - ((x >> 1) & 0x5555555555555555u);
    x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
    x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0fu;
    return static_cast<int>((x * 0x0101010101010101u) >> 56);
}

// Weights for the counts: keep^(L - d) mu^d for a code with d of the L loci
// unlike the drawn alleles, from powers taken by repeated multiplication, so
// that a code costs a count of differing bits rather than L products. Each is
// within a relative 2.01 L e (e = 2^-53) of the written weight, both being
// products of the same L factors with fewer than 2L roundings between them
// (or, below the normal range, within L 2^-1074 of it).
void fill_distance_weights(double mu, int L, std::vector<double>& powers, std::vector<double>& weights) {
    powers.resize(static_cast<std::size_t>(L) + 1);
    weights.resize(static_cast<std::size_t>(L) + 1);
    powers[0] = 1.0;
    for (int n = 1; n <= L; ++n) powers[static_cast<std::size_t>(n)] = powers[static_cast<std::size_t>(n) - 1] * mu;
    double keep_power = 1.0;
    for (int d = L; d >= 0; --d) {
        weights[static_cast<std::size_t>(d)] = keep_power * powers[static_cast<std::size_t>(d)];
        keep_power *= 1 - mu;
    }
}

// The number of loci at which two codes' alleles differ.
int differences(const AlleleCodes& codes, AlleleCodes::Code a, AlleleCodes::Code b) {
    int count = 0;
    for (int k = 0; k < codes.words(); ++k) count += bits_set(codes.alleles(a)[k] ^ codes.alleles(b)[k]);
    return count;
}

// The number of loci at which each code's alleles differ from the drawn ones.
void count_differences(const AlleleCodes& codes, AlleleCodes::Code drawn, std::vector<std::uint16_t>& differ) {
    const std::size_t m = codes.code_count();
    const int words = codes.words();
    differ.resize(m);
    const AlleleCodes::Word* wanted = codes.alleles(drawn);
    const AlleleCodes::Word* vectors = codes.alleles(0);
    if (words == 1) {
        const AlleleCodes::Word one = wanted[0];
        for (std::size_t c = 0; c < m; ++c) differ[c] = static_cast<std::uint16_t>(bits_set(vectors[c] ^ one));
        return;
    }
    for (std::size_t c = 0; c < m; ++c) {
        int count = 0;
        for (int k = 0; k < words; ++k) count += bits_set(vectors[c * static_cast<std::size_t>(words) + k] ^ wanted[k]);
        differ[c] = static_cast<std::uint16_t>(count);
    }
}

// How far the written computation's rest after i subtractions may lie from
// the exact rest, plus the error of our own quotient q, which stands for the
// exact share C(i)/S of the first i candidates. The proof:
//
// Let w_j >= 0 be candidate j's weight as the written computation takes it,
// S the exact sum of all K, C(i) the exact sum of the first i, r(i) = u -
// C(i)/S the exact rest after i subtractions. The written computation takes
// s, the sum in candidate order, v_j = w_j / s and u_i = u_{i-1} - v_{i-1}
// from u_0 = u, each rounded to nearest. Let e = 2^-53; K is an int, so
// K e < 2^-22.
// - A sum of K terms >= 0 errs by at most g S, g = (K - 1) e / (1 - (K - 1) e)
//   (Higham, Accuracy and Stability of Numerical Algorithms, 2nd ed., 4.2):
//   s = S (1 + h), |h| <= g.
// - v_j = (w_j / s)(1 + d_j), |d_j| <= e, so the first i of them sum to
//   (C(i)/S)(1 + d)/(1 + h) with |d| <= e: within a = (e + g)/(1 - g) <=
//   K e (1 + 2^-19) of C(i)/S, relatively.
// - While u_1 .. u_{i-1} are positive they are at most u (the rests only
//   fall), so each subtraction rounds by at most e |u_{j-1} - v_{j-1}| <=
//   e (u + v_{j-1}): the chain adds at most e (i u + (1 + a) C(i)/S).
// - So |u_i - r(i)| <= E(i) = e (1 + 2^-19)((K + 1) x + i u) for any
//   x >= C(i)/S. Quotients below the normal range err by 2^-1075 each
//   instead, far below e all together.
// Our q is a sum of count times counted weight, over codes or over numbers
// of differing loci (n <= m + L terms, m codes and L loci), over the same for
// all K candidates, with at most one more weight. The counted weights are
// within 2.01 L e of the written ones; each product rounds once and the
// additions of n terms >= 0 in any order err by at most (n - 1) e /
// (1 - (n - 1) e) relatively; so each sum is within (n + 1 + 2.02 L) e of its
// exact value relatively, and |q - C(i)/S| <= d(q) = (2n + 5L + 8) e, once
// the total is at least 2^-900 (weights below the normal range then err by
// far less than e all together). With n below 2^32 and L below 2^16, d(q) <
// 2^-20. Where q leaves out the light codes (those more loci from the drawn
// alleles than the heavy ones), it misses at most their share l of the
// total, taken from their sum with room for its rounding: C(i)/S - q lies in
// [-d(q), d(q) + l]. Hence x = q + d(q) + l >= C(i)/S, and the margin is E(i)
// plus (2n + 5L + 16) e plus l: d(q) and l for q, and 8 e more than enough
// for the rounding of u - q and of the margin itself.
//
// So u - q(i - 1) > margin(i - 1) gives r(i - 1) > E(i - 1), and
// q(i) - u > margin(i) gives r(i) < -E(i). Together they make the written
// computation choose i - 1: r falls and E grows with the index, so by
// induction u_1 .. u_{i-1} stay positive, and then u_i < 0. For i = K the
// first alone suffices: the last candidate is chosen once u_1 .. u_{K-1} are
// positive, whatever u_K.
double margin(double q, int i, double u, int K, std::size_t terms, int loci, double light) {
    const double error = 2.0 * static_cast<double>(terms) + 5.0 * loci;
    const double x = q + (error + 8.0) * 0x1p-53 + light;
    return 0x1p-53 * ((1 + 0x1p-19) * ((K + 1.0) * x + i * u) + error + 16.0) + light;
}

}  // namespace

// The choice from the counts of codes, or -1 where the written computation
// has to decide.
int DiseaseSegmentChooser::choose_from_counts(const DiseaseSegmentChoice& segment, int shared) {
    const AlleleCodes& codes = *segment.codes;
    VORLAN2_CHECK(shared >= 1 && codes.size() >= static_cast<std::size_t>(shared));
    const double u = segment.u;
    // The bound holds for weights that are not negative and draws in (0, 1).
    if (!(segment.mu >= 0.0 && segment.mu <= 1.0 && u > 0.0 && u < 1.0)) return -1;
    const std::size_t m = codes.code_count();
    const int L = codes.loci();
    VORLAN2_CHECK(L < 65536);
    fill_distance_weights(segment.mu, L, powers_, distance_weights_);
    const std::uint32_t* counts = codes.counts().counts;
    if (static_cast<std::size_t>(shared) != codes.size()) {
        counts_.resize(m);
        codes.count_before(static_cast<std::size_t>(shared), counts_.data());
        counts = counts_.data();
    }
    const int extra = segment.extra_code;
    const double extra_weight = extra >= 0 ? distance_weights_[static_cast<std::size_t>(differences(
                                                 codes, static_cast<AlleleCodes::Code>(extra), segment.drawn))]
                                           : 0.0;

    // The heavy codes, those at most some number of loci from the drawn
    // alleles, locate the crossing: as few as leave the others, the light
    // ones, at most 2^-48 of the total. The light ones hold at most the
    // share `light` of the total, which the margin takes in.
    heavy_.clear();
    heavy_weights_.clear();
    Split split;
    if (!heavy_near_drawn(codes, segment.drawn, counts, shared, extra_weight, split))
        heavy_by_scan(codes, segment.drawn, counts, extra_weight, split);
    const double total = split.heavy + extra_weight;
    if (!(total >= 0x1p-900 && std::isfinite(total))) return -1;
    const double light = split.light / total * (1 + 0x1p-20);
    const int K = shared + (extra >= 0 ? 1 : 0);
    const std::size_t terms = m + static_cast<std::size_t>(L);

    // The extra candidate is the last: the rest is still positive after the shared ones.
    const double q_shared = split.heavy / total;
    if (q_shared < u) {
        if (extra >= 0 && u - q_shared > margin_scale_ * margin(q_shared, shared, u, K, terms, L, light)) return shared;
        return -1;
    }
    if (heavy_index_.size() < m) heavy_index_.resize(m, -1);
    for (std::size_t h = 0; h < heavy_.size(); ++h) heavy_index_[heavy_[h]] = static_cast<int>(h);
    const int chosen = locate_crossing(codes, shared, u, total, K, terms, light);
    for (const AlleleCodes::Code c : heavy_) heavy_index_[c] = -1;
    return chosen;
}

bool DiseaseSegmentChooser::heavy_near_drawn(const AlleleCodes& codes, AlleleCodes::Code drawn,
                                             const std::uint32_t* counts, int shared, double extra_weight,
                                             Split& split) {
    const int L = codes.loci();
    const std::size_t m = codes.code_count();
    const double* weight_at = distance_weights_.data();
    // The heaviest weight farther than d loci, per d.
    farther_.assign(static_cast<std::size_t>(L) + 1, 0.0);
    for (int d = L - 1; d >= 0; --d)
        farther_[static_cast<std::size_t>(d)] = std::max(farther_[static_cast<std::size_t>(d) + 1], weight_at[d + 1]);
    const int words = codes.words();
    ball_.assign(codes.alleles(drawn), codes.alleles(drawn) + words);
    std::size_t looked_up = 0;
    std::uint64_t near_candidates = 0;
    double heavy = 0.0;
    // Shell d: the vectors that differ from the drawn ones at d loci, the
    // loci in ascending order, looked up as long as that costs less than
    // going over every code.
    std::vector<int>& loci = shell_loci_;
    for (int d = 0; d <= L; ++d) {
        std::size_t shell = 1;
        for (int k = 0; k < d; ++k) shell = shell * static_cast<std::size_t>(L - k) / static_cast<std::size_t>(k + 1);
        looked_up += shell;
        if (looked_up > m / 4 + 1) {
            heavy_.clear();
            heavy_weights_.clear();
            return false;
        }
        loci.resize(static_cast<std::size_t>(d));
        for (int k = 0; k < d; ++k) loci[static_cast<std::size_t>(k)] = k;
        for (;;) {
            for (const int k : loci) ball_[static_cast<std::size_t>(k >> 6)] ^= AlleleCodes::Word{1} << (k & 63);
            AlleleCodes::Code c = 0;
            if (codes.find(ball_.data(), c)) {
                heavy_.push_back(c);
                heavy_weights_.push_back(weight_at[d]);
                near_candidates += counts[c];
                heavy += counts[c] * weight_at[d];
            }
            for (const int k : loci) ball_[static_cast<std::size_t>(k >> 6)] ^= AlleleCodes::Word{1} << (k & 63);
            int k = d - 1;
            while (k >= 0 && loci[static_cast<std::size_t>(k)] == L - d + k) --k;
            if (k < 0) break;
            ++loci[static_cast<std::size_t>(k)];
            for (int next = k + 1; next < d; ++next)
                loci[static_cast<std::size_t>(next)] = loci[static_cast<std::size_t>(next) - 1] + 1;
        }
        const double light = static_cast<double>(static_cast<std::uint64_t>(shared) - near_candidates) *
                             farther_[static_cast<std::size_t>(d)];
        if (light <= (heavy + extra_weight) * 0x1p-48) {
            split = {heavy, light};
            return true;
        }
    }
    split = {heavy, 0.0};
    return true;
}

void DiseaseSegmentChooser::heavy_by_scan(const AlleleCodes& codes, AlleleCodes::Code drawn,
                                          const std::uint32_t* counts, double extra_weight, Split& split) {
    const int L = codes.loci();
    const std::size_t m = codes.code_count();
    const double* weight_at = distance_weights_.data();
    count_differences(codes, drawn, differ_);
    // The shared candidates at each distance from the drawn alleles, and the
    // counted weight of those at d or more.
    at_distance_.assign(static_cast<std::size_t>(L) + 1, 0);
    for (std::size_t c = 0; c < m; ++c) at_distance_[differ_[c]] += counts[c];
    tail_.assign(static_cast<std::size_t>(L) + 2, 0.0);
    for (int d = L; d >= 0; --d)
        tail_[static_cast<std::size_t>(d)] = tail_[static_cast<std::size_t>(d) + 1] +
                                             static_cast<double>(at_distance_[static_cast<std::size_t>(d)]) *
                                                 weight_at[d];
    int near = 0;
    while (near < L && !(tail_[static_cast<std::size_t>(near) + 1] <=
                         (tail_[0] - tail_[static_cast<std::size_t>(near) + 1] + extra_weight) * 0x1p-48))
        ++near;
    // The drawn alleles first, as near the drawn ones.
    heavy_.push_back(drawn);
    heavy_weights_.push_back(weight_at[0]);
    double heavy = counts[drawn] * weight_at[0];
    for (std::size_t c = 0; c < m; ++c) {
        if (differ_[c] > near || c == drawn) continue;
        heavy_.push_back(static_cast<AlleleCodes::Code>(c));
        heavy_weights_.push_back(weight_at[differ_[c]]);
        heavy += counts[c] * weight_at[differ_[c]];
    }
    split = {heavy, tail_[static_cast<std::size_t>(near) + 1]};
}

int DiseaseSegmentChooser::locate_crossing(const AlleleCodes& codes, int shared, double u, double total, int K,
                                           std::size_t terms, double light) {
    const int L = codes.loci();
    const auto heavy_count = [this](const AlleleCodes::Counts& before) {
        double sum = 0.0;
        for (std::size_t h = 0; h < heavy_.size(); ++h)
            if (heavy_[h] < before.codes) sum += before.counts[heavy_[h]] * heavy_weights_[h];
        return sum;
    };
    const auto weight_of = [this](AlleleCodes::Code c) {
        const int h = heavy_index_[c];
        return h >= 0 ? heavy_weights_[static_cast<std::size_t>(h)] : 0.0;
    };

    // The last block whose start leaves the rest positive, then its candidates
    // one by one until their weights reach u times the total.
    const std::size_t block = codes.block();
    const std::size_t blocks = (static_cast<std::size_t>(shared) - 1) / block + 1;
    // Whether the heavy codes' weight before block b is still short of u times the total.
    const auto short_before = [&](std::size_t b) { return heavy_count(codes.counts_before_block(b)) / total < u; };
    // The first heavy code, the drawn alleles, carries most of the weight
    // wherever mu is small, so its counts alone find a block at or after the
    // one sought; a few steps back, or else a halving of the blocks before,
    // lead to the block where the weight of all the heavy codes crosses.
    std::size_t low = 0;
    std::size_t high = blocks;
    VORLAN2_CHECK(!heavy_.empty());
    const AlleleCodes::Code leading = heavy_.front();
    const double leading_weight = heavy_weights_.front();
    while (high - low > 1) {
        const std::size_t middle = low + (high - low) / 2;
        const AlleleCodes::Counts before = codes.counts_before_block(middle);
        if ((leading < before.codes ? before.counts[leading] * leading_weight : 0.0) / total < u)
            low = middle;
        else
            high = middle;
    }
    for (int step = 0; low > 0 && !short_before(low); ++step) {
        if (step == 3) {
            // Far from it: halve the blocks before.
            high = low;
            low = 0;
            while (high - low > 1) {
                const std::size_t middle = low + (high - low) / 2;
                (short_before(middle) ? low : high) = middle;
            }
            break;
        }
        --low;
    }
    const AlleleCodes::Counts before = codes.counts_before_block(low);
    const AlleleCodes::Code* code = codes.codes();
    const double target = u * total;
    double reached = heavy_count(before);
    const int first = static_cast<int>(low * block);
    const int end = static_cast<int>(std::min(low * block + block, static_cast<std::size_t>(shared)));
    int j = first;
    for (; j < end; ++j) {
        reached += weight_of(code[j]);
        if (reached >= target) break;
    }
    if (j == end) return -1;

    // The heavy codes' counts before candidate j, where the rest crosses zero.
    heavy_counts_.resize(heavy_.size());
    for (std::size_t h = 0; h < heavy_.size(); ++h)
        heavy_counts_[h] = heavy_[h] < before.codes ? before.counts[heavy_[h]] : 0;
    for (int q = first; q < j; ++q)
        if (const int h = heavy_index_[code[q]]; h >= 0) ++heavy_counts_[static_cast<std::size_t>(h)];
    double sum_before = 0.0;
    for (std::size_t h = 0; h < heavy_.size(); ++h) sum_before += heavy_counts_[h] * heavy_weights_[h];
    const double q_before = sum_before / total;
    const double q_at = (sum_before + weight_of(code[j])) / total;
    if (!(u - q_before > margin_scale_ * margin(q_before, j, u, K, terms, L, light))) return -1;
    if (j + 1 < K && !(q_at - u > margin_scale_ * margin(q_at, j + 1, u, K, terms, L, light))) return -1;
    return j;
}

void DiseaseSegmentChooser::choose_written(DiseaseSegmentChoice* const* pending, int count, int shared) {
    DiseaseSegmentChoice* lane[lanes];
    for (int l = 0; l < lanes; ++l) {
        lane[l] = pending[l < count ? l : 0];
        fill_weights(*lane[l], weights_[l]);
    }
    // A repeated lane writes the first segment's own choice again.
    choose_lanes(lane, shared, weights_);
}

std::size_t DiseaseSegmentChooser::choose(DiseaseSegmentChoice* segments, std::size_t count, int shared) {
    std::size_t written = 0;
    DiseaseSegmentChoice* pending[lanes];
    int waiting = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const int chosen = choose_from_counts(segments[i], shared);
        if (chosen >= 0) {
            segments[i].chosen = chosen;
            continue;
        }
        pending[waiting++] = &segments[i];
        ++written;
        if (waiting == lanes) {
            choose_written(pending, waiting, shared);
            waiting = 0;
        }
    }
    if (waiting > 0) choose_written(pending, waiting, shared);
    return written;
}

}  // namespace vorlan2
