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

// The sum over the first n codes of count times weight. Four partial sums
// run side by side; the bound below holds for any order of the additions.
double weighted_count(const std::uint32_t* counts, std::size_t n, const double* weights) {
    double sum[4] = {0.0, 0.0, 0.0, 0.0};
    std::size_t c = 0;
    for (; c + 4 <= n; c += 4) {
        sum[0] += counts[c] * weights[c];
        sum[1] += counts[c + 1] * weights[c + 1];
        sum[2] += counts[c + 2] * weights[c + 2];
        sum[3] += counts[c + 3] * weights[c + 3];
    }
    for (; c < n; ++c) sum[0] += counts[c] * weights[c];
    return (sum[0] + sum[1]) + (sum[2] + sum[3]);
}

double weighted_count(const AlleleCodes::Counts& counts, const double* weights) {
    return weighted_count(counts.counts, counts.codes, weights);
}

// Weights for the counts: keep^(L - d) mu^d for a code with d of the L loci
// unlike the drawn alleles, from powers taken by repeated multiplication, so
// that a code costs a count of differing bits rather than L products. Each is
// within a relative 2.01 L e (e = 2^-53) of the written weight, both being
// products of the same L factors with fewer than 2L roundings between them
// (or, below the normal range, within L 2^-1074 of it).
void fill_counted_weights(const DiseaseSegmentChoice& segment, std::vector<double>& powers,
                          std::vector<double>& weights) {
    const AlleleCodes& codes = *segment.codes;
    const int L = codes.loci();
    const std::size_t m = codes.code_count();
    const int words = codes.words();
    powers.resize(2 * (static_cast<std::size_t>(L) + 1));
    double* keep_power = powers.data();
    double* mu_power = keep_power + L + 1;
    keep_power[0] = 1.0;
    mu_power[0] = 1.0;
    for (int n = 1; n <= L; ++n) {
        keep_power[n] = keep_power[n - 1] * (1 - segment.mu);
        mu_power[n] = mu_power[n - 1] * segment.mu;
    }
    weights.resize(m);
    const AlleleCodes::Word* drawn = codes.alleles(segment.drawn);
    const AlleleCodes::Word* vector = codes.alleles(0);
    for (std::size_t c = 0; c < m; ++c, vector += words) {
        int differ = 0;
        for (int k = 0; k < words; ++k) differ += __builtin_popcountll(vector[k] ^ drawn[k]);
        weights[c] = keep_power[L - differ] * mu_power[differ];
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
// Our q is a sum of count times counted weight over the m codes (and at most
// one more weight), in any order, over the same for all K candidates. The
// counted weights are within 2.01 L e of the written ones; each product
// rounds once and the additions of n terms >= 0 in any order err by at most
// (n - 1) e / (1 - (n - 1) e) relatively; so each sum is within (m + 1 +
// 2.02 L) e of its exact value relatively, and |q - C(i)/S| <= d(q) =
// (2m + 5L + 8) e, once the total is at least 2^-900 (weights below the
// normal range then err by far less than e all together). With m <= K and L
// below 2^20, d(q) < 2^-20. Hence x = q + d(q) >= C(i)/S, and the margin is
// E(i) plus (2m + 5L + 16) e: d(q) for q, and 8 e more than enough for the
// rounding of u - q and of the margin itself.
//
// So u - q(i - 1) > margin(i - 1) gives r(i - 1) > E(i - 1), and
// q(i) - u > margin(i) gives r(i) < -E(i). Together they make the written
// computation choose i - 1: r falls and E grows with the index, so by
// induction u_1 .. u_{i-1} stay positive, and then u_i < 0. For i = K the
// first alone suffices: the last candidate is chosen once u_1 .. u_{K-1} are
// positive, whatever u_K.
double margin(double q, int i, double u, int K, std::size_t codes, int loci) {
    const double error = 2.0 * static_cast<double>(codes) + 5.0 * loci;
    const double x = q + (error + 8.0) * 0x1p-53;
    return 0x1p-53 * ((1 + 0x1p-19) * ((K + 1.0) * x + i * u) + error + 16.0);
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
    std::vector<double>& weights = weights_[0];
    fill_counted_weights(segment, powers_, weights);
    const int L = codes.loci();
    counts_.resize(m);
    std::uint32_t* counts = counts_.data();
    codes.count_before(static_cast<std::size_t>(shared), counts);
    const double shared_weight = weighted_count(counts, m, weights.data());
    const int extra = segment.extra_code;
    const double total = extra >= 0 ? shared_weight + weights[static_cast<std::size_t>(extra)] : shared_weight;
    if (!(total >= 0x1p-900 && std::isfinite(total))) return -1;
    const int K = shared + (extra >= 0 ? 1 : 0);

    // The extra candidate is the last: the rest is still positive after the shared ones.
    const double q_shared = shared_weight / total;
    if (q_shared < u) {
        if (extra >= 0 && u - q_shared > margin_scale_ * margin(q_shared, shared, u, K, m, L)) return shared;
        return -1;
    }

    // The last block whose start leaves the rest positive, then its candidates
    // one by one until their weights reach u times the total.
    const std::size_t block = codes.block();
    const std::size_t blocks = (static_cast<std::size_t>(shared) - 1) / block + 1;
    std::size_t low = 0;
    std::size_t high = blocks;
    while (high - low > 1) {
        const std::size_t middle = low + (high - low) / 2;
        if (weighted_count(codes.counts_before_block(middle), weights.data()) / total < u)
            low = middle;
        else
            high = middle;
    }
    const AlleleCodes::Counts before = codes.counts_before_block(low);
    std::copy(before.counts, before.counts + before.codes, counts);
    std::fill(counts + before.codes, counts + m, 0u);
    const AlleleCodes::Code* code = codes.codes();
    const double target = u * total;
    double reached = weighted_count(counts, m, weights.data());
    const int end = static_cast<int>(std::min(low * block + block, static_cast<std::size_t>(shared)));
    int j = static_cast<int>(low * block);
    for (; j < end; ++j) {
        reached += weights[code[j]];
        if (reached >= target) break;
        ++counts[code[j]];
    }
    if (j == end) return -1;

    // Candidate j is where the rest crosses zero.
    const double sum_before = weighted_count(counts, m, weights.data());
    const double q_before = sum_before / total;
    const double q_at = (sum_before + weights[code[j]]) / total;
    if (!(u - q_before > margin_scale_ * margin(q_before, j, u, K, m, L))) return -1;
    if (j + 1 < K && !(q_at - u > margin_scale_ * margin(q_at, j + 1, u, K, m, L))) return -1;
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
