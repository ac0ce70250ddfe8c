// Building a case distribution's strand lists and running totals, and
// drawing from it.
#include "simulator/pair_distribution.h"

#include <algorithm>

#include "common/invariant.h"

namespace vorlan2 {

namespace {

using Word = AlleleCodes::Word;

int words_for(int loci) { return (loci + 63) / 64; }

bool bit(const Word* alleles, int k) { return (alleles[k >> 6] >> (k & 63)) & 1u; }

// Copies `loci` packed alleles into target from locus `offset` on.
void place_bits(const Word* source, int loci, Word* target, int offset) {
    for (int k = 0; k < loci; ++k) {
        const int at = offset + k;
        const Word mask = Word{1} << (at & 63);
        if (bit(source, k))
            target[at >> 6] |= mask;
        else
            target[at >> 6] &= ~mask;
    }
}

}  // namespace

std::size_t StrandList::bytes() const {
    return alleles.capacity() * sizeof(Word) + probability.capacity() * sizeof(double);
}

std::size_t list_entries(const std::vector<const ControlTable*>& tables) {
    std::size_t entries = 1;
    for (const ControlTable* table : tables)
        if (__builtin_mul_overflow(entries, table->size(), &entries)) return 0;
    return entries;
}

std::size_t list_bytes(std::size_t entries, int loci) {
    const std::size_t entry = static_cast<std::size_t>(words_for(loci)) * sizeof(Word) + sizeof(double);
    std::size_t bytes = 0;
    if (__builtin_mul_overflow(entries, entry, &bytes)) return static_cast<std::size_t>(-1);
    return bytes;
}

StrandList strand_list(const std::vector<const ControlTable*>& tables, int loci) {
    const std::size_t entries = list_entries(tables);
    VORLAN2_CHECK(entries > 0);
    StrandList list;
    list.words = words_for(loci);
    const std::size_t words = static_cast<std::size_t>(list.words);
    list.alleles.assign(entries * words, 0);
    list.probability.resize(entries);
    std::vector<int> offsets;
    int offset = 0;
    for (const ControlTable* table : tables) {
        offsets.push_back(offset);
        offset += table->loci;
    }
    VORLAN2_CHECK(offset == loci);
    // The digits of entry i, the first table's the most significant.
    std::vector<std::size_t> digit(tables.size(), 0);
    for (std::size_t i = 0; i < entries; ++i) {
        Word* alleles = list.alleles.data() + i * words;
        double probability = 0.0;
        for (std::size_t g = 0; g < tables.size(); ++g) {
            const ControlTable& table = *tables[g];
            place_bits(table.entry(digit[g]), table.loci, alleles, offsets[g]);
            probability = g == 0 ? table.frequency[digit[g]] : probability * table.frequency[digit[g]];
        }
        list.probability[i] = probability;
        for (std::size_t g = tables.size(); g-- > 0;) {
            if (++digit[g] < tables[g]->size()) break;
            digit[g] = 0;
        }
    }
    return list;
}

PairDistribution::PairDistribution(StrandList strand0, StrandList strand1, Risks risks, std::size_t max_total_bytes)
    : lists_{std::move(strand0), std::move(strand1)}, risks_(std::move(risks)) {
    const std::size_t N0 = lists_[0].size();
    const std::size_t N1 = lists_[1].size();
    const std::size_t N = N0 * N1;
    VORLAN2_CHECK(N > 0);
    while (stride_ < N && (N - 1) / stride_ + 1 > max_total_bytes / sizeof(double)) stride_ *= 2;
    totals_.reserve((N - 1) / stride_ + 1);

    // Each row's r, 1.0 times each locus's risk in locus order, is taken a
    // locus at a time over all of strand 1's entries. The products over the
    // first t loci are kept (in as much memory as the totals may take), and
    // rows are in ascending order: a row takes them from the row before, up
    // to the first locus where the two differ. Then the row's weights, then
    // their running total: only the additions are one chain.
    const int D = static_cast<int>(risks_.size());
    const std::size_t loci = static_cast<std::size_t>(D);
    const std::size_t kept = std::min(loci, std::max<std::size_t>(1, max_total_bytes / (N1 * sizeof(double))));
    std::vector<double> products((kept + 1) * N1, 1.0);  // per t <= kept, the products over the first t loci
    // The last loci, which rows differ at most, take their factors from a
    // table of strand 1's entries for each allele of strand 0 (in as much
    // memory again); the others from strand 1's alleles.
    const std::size_t tabled = std::min(loci, max_total_bytes / (2 * N1 * sizeof(double)));
    const std::size_t untabled = loci - tabled;
    std::vector<std::uint8_t> ones(untabled * N1);  // per untabled locus, strand 1's allele per entry
    std::vector<double> factors(2 * tabled * N1);   // per tabled locus and allele of strand 0, per entry
    for (std::size_t m = 0; m < loci; ++m) {
        for (std::size_t k = 0; k < N1; ++k) {
            const int one = bit(lists_[1].entry(k), static_cast<int>(m)) ? 1 : 0;
            if (m < untabled) {
                ones[m * N1 + k] = static_cast<std::uint8_t>(one);
                continue;
            }
            for (std::size_t copies = 0; copies < 2; ++copies)
                factors[(2 * (m - untabled) + copies) * N1 + k] = risks_[m][copies + static_cast<std::size_t>(one)];
        }
    }
    std::vector<double> weights(N1);
    const double* f_b = lists_[1].probability.data();
    double total = 0.0;
    std::size_t to_next_total = 0;  // pairs before the next stride begins
    for (std::size_t i = 0; i < N0; ++i) {
        const Word* a = lists_[0].entry(i);
        int same = 0;  // loci at which the row begins as the row before
        if (i > 0) {
            const Word* before = lists_[0].entry(i - 1);
            while (same < D && bit(a, same) == bit(before, same)) ++same;
        }
        const std::size_t from = std::min(static_cast<std::size_t>(same), kept);
        const double* r = products.data() + from * N1;
        for (std::size_t m = from; m < loci; ++m) {
            const std::size_t copies = bit(a, static_cast<int>(m)) ? 1 : 0;
            double* next = m + 1 <= kept ? products.data() + (m + 1) * N1 : weights.data();
            if (m >= untabled) {
                const double* factor = factors.data() + (2 * (m - untabled) + copies) * N1;
                for (std::size_t k = 0; k < N1; ++k) next[k] = r[k] * factor[k];
            } else {
                const double without = risks_[m][copies];
                const double with = risks_[m][copies + 1];
                const std::uint8_t* one = ones.data() + m * N1;
                for (std::size_t k = 0; k < N1; ++k) next[k] = r[k] * (one[k] ? with : without);
            }
            r = next;
        }
        double* w = weights.data();
        const double f_a = lists_[0].probability[i];
        for (std::size_t k = 0; k < N1; ++k) w[k] = r[k] * f_a * f_b[k];
        for (std::size_t k = 0; k < N1;) {
            if (to_next_total == 0) {
                totals_.push_back(total);
                to_next_total = stride_;
            }
            const std::size_t end = std::min(N1, k + to_next_total);
            to_next_total -= end - k;
            for (; k < end; ++k) total = total + w[k];
        }
    }
    total_ = total;
}

double PairDistribution::weight(std::size_t pair) const {
    const std::size_t N1 = lists_[1].size();
    const std::size_t i = pair / N1;
    const std::size_t k = pair % N1;
    const Word* a = lists_[0].entry(i);
    const Word* b = lists_[1].entry(k);
    double r = 1.0;
    for (std::size_t m = 0; m < risks_.size(); ++m)
        r *= risks_[m][static_cast<std::size_t>(bit(a, static_cast<int>(m))) +
                       static_cast<std::size_t>(bit(b, static_cast<int>(m)))];
    return r * lists_[0].probability[i] * lists_[1].probability[k];
}

std::size_t PairDistribution::draw(double u) const {
    // The key only grows with the pair, and the first stride starts at 0.
    std::size_t low = 0;
    std::size_t high = totals_.size();
    while (high - low > 1) {
        const std::size_t middle = low + (high - low) / 2;
        (totals_[middle] / total_ <= u ? low : high) = middle;
    }
    double running = totals_[low];
    const std::size_t end = std::min(pairs(), (low + 1) * stride_);
    for (std::size_t n = low * stride_; n < end; ++n) {
        running = running + weight(n);
        if (running / total_ > u) return n;
    }
    VORLAN2_CHECK(!"the last key is 1, above every draw");
    return end - 1;
}

void PairDistribution::alleles(std::size_t pair, int s, std::vector<int>& out) const {
    const std::size_t N1 = lists_[1].size();
    const Word* entry = lists_[s].entry(s == 0 ? pair / N1 : pair % N1);
    out.resize(risks_.size());
    for (std::size_t m = 0; m < risks_.size(); ++m) out[m] = bit(entry, static_cast<int>(m)) ? 1 : 0;
}

std::map<double, std::size_t> PairDistribution::entries() const {
    std::map<double, std::size_t> keys;
    double running = 0.0;
    for (std::size_t n = 0; n < pairs(); ++n) {
        const double before = running;
        running = running + weight(n);
        if (n == 0 || running != before) keys.emplace_hint(keys.end(), running / total_, n);
    }
    return keys;
}

std::size_t PairDistribution::bytes() const {
    return lists_[0].bytes() + lists_[1].bytes() + risks_.capacity() * sizeof(risks_[0]) +
           totals_.capacity() * sizeof(double);
}

}  // namespace vorlan2
