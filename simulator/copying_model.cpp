// The copying model: switch points between copied haplotypes, the copy
// choice per segment, and the alleles of every simulated individual.
#include <algorithm>
#include <sstream>

#include "common/invariant.h"
#include "random/random.h"
#include "simulator/copy_choice.h"
#include "simulator/summary_file.h"
#include "simulator/vorlanerator.h"

using namespace vorlan2;

namespace {

// ORs bits first to last (inclusive) of a packed row into another.
void or_bits(const HaplotypeSet::Word* source, int first, int last, HaplotypeSet::Word* target) {
    using Word = HaplotypeSet::Word;
    const int first_word = first >> 6;
    const int last_word = last >> 6;
    const Word head = ~Word{0} << (first & 63);
    const Word tail = ~Word{0} >> (63 - (last & 63));
    if (first_word == last_word) {
        target[first_word] |= source[first_word] & head & tail;
        return;
    }
    target[first_word] |= source[first_word] & head;
    for (int w = first_word + 1; w < last_word; ++w) target[w] |= source[w];
    target[last_word] |= source[last_word] & tail;
}

std::vector<double> genetic_gaps(const snps_map& snps) {
    std::vector<double> gaps;
    gaps.reserve(snps.size());
    double previous = snps.empty() ? 0.0 : snps.begin()->second.genetic_position;
    for (const auto& [position, panel_snp] : snps) {
        gaps.push_back(panel_snp.genetic_position - previous);
        previous = panel_snp.genetic_position;
    }
    return gaps;
}

// Outputs tested a group at a time: a group in which no output is rare
// (rare(i, output)) costs a few vector instructions, and on_rare(i, output)
// is called for the rare ones, in order.
constexpr int scan_group = 16;

template <typename Rare, typename OnRare>
void scan_rare_outputs(const std::uint32_t* y, int n, Rare rare, OnRare on_rare) {
    int i = 0;
    for (; i + scan_group <= n; i += scan_group) {
        unsigned any = 0;
        // Kept a loop, so that it is vectorised rather than unrolled.
#pragma GCC unroll 1
        for (int k = 0; k < scan_group; ++k) any |= rare(i + k, y[i + k]);
        if (!any) continue;
        for (int k = 0; k < scan_group; ++k)
            if (rare(i + k, y[i + k])) on_rare(i + k, y[i + k]);
    }
    for (; i < n; ++i)
        if (rare(i, y[i])) on_rare(i, y[i]);
}

// Last SNP index of segment r.
int segment_last(const std::vector<int>& starts, std::size_t r, int S) {
    return r + 1 < starts.size() ? starts[r + 1] - 1 : S - 1;
}

}  // namespace

void Vorlanerator::index_panel() {
    genetic_gaps_ = genetic_gaps(panel_data.snps_data);
    const int S = static_cast<int>(panel_data.snps_data.size());
    const int P = std::max(panel_data.n_haplotypes, 0);
    // Transposed once, 64 SNPs at a time, so that copying a panel haplotype
    // reads one row.
    const int words = (S + 63) / 64;
    std::vector<HaplotypeSet::Word> rows(static_cast<std::size_t>(P) * static_cast<std::size_t>(words), 0);
    std::vector<const std::uint8_t*> block;
    auto it = panel_data.snps_data.begin();
    for (int w = 0; w < words; ++w) {
        block.clear();
        for (int k = 0; k < 64 && it != panel_data.snps_data.end(); ++k, ++it)
            block.push_back(it->second.panel_alleles.data());
        for (int q = 0; q < P; ++q) {
            HaplotypeSet::Word word = 0;
            for (std::size_t k = 0; k < block.size(); ++k)
                word |= static_cast<HaplotypeSet::Word>(block[k][q] & 1u) << k;
            rows[static_cast<std::size_t>(q) * static_cast<std::size_t>(words) + static_cast<std::size_t>(w)] = word;
        }
    }
    panel_rows_ = HaplotypeSet(S, std::move(rows));
}

const HaplotypeSet::Word* Vorlanerator::candidate_row(int q) const {
    const int P = panel_data.n_haplotypes;
    return q < P ? panel_rows_.row_words(static_cast<std::size_t>(q))
                 : simulated_haplotypes.row_words(static_cast<std::size_t>(q - P));
}

void Vorlanerator::place_switches(const std::vector<double>& gaps, int K, std::vector<int>& starts) const {
    starts.clear();
    starts.push_back(0);
    const double candidates = K;
    const int S = static_cast<int>(gaps.size());
    for (int j = 1; j < S; ++j)
        if (switches_between(draw(), gaps[j], candidates)) starts.push_back(j);
}

void Vorlanerator::place_switches_from_mt(int K, std::vector<int>& starts) {
    if (switch_floors_K_ == 0 || K < switch_floors_K_ || K - switch_floors_K_ > switch_floors_K_ / 16) {
        // Floors hold from the count they were made for up; remade as K grows
        // so that few draws fall back to the test itself.
        switch_floors_K_ = K;
        switch_floors_.resize(genetic_gaps_.size());
        for (std::size_t j = 0; j < genetic_gaps_.size(); ++j)
            switch_floors_[j] = switch_floor(genetic_gaps_[j], static_cast<double>(K));
    }
    starts.clear();
    starts.push_back(0);
    const double candidates = K;
    const int S = static_cast<int>(genetic_gaps_.size());
    const std::uint32_t* floors = switch_floors_.data();
    const double* gaps = genetic_gaps_.data();
    for (int j = 1; j < S;) {
        int n = 0;
        const std::uint32_t* y = MT::take_outputs(S - j, n);
        scan_rare_outputs(
            y, n, [&](int i, std::uint32_t output) { return output >= floors[j + i]; },
            [&](int i, std::uint32_t output) {
                if (switches_between(MT::uniform_of(output), gaps[j + i], candidates)) starts.push_back(j + i);
            });
        j += n;
    }
}

void Vorlanerator::simulate_crossovers(const snps_map& snps, const int& K,
                                       std::vector<std::vector<int>>& segments) const {
    const std::vector<double> gaps = genetic_gaps(snps);
    std::vector<int> starts;
    place_switches(gaps, K, starts);
    segments.clear();
    const int S = static_cast<int>(gaps.size());
    for (std::size_t r = 0; r < starts.size(); ++r) {
        auto& segment = segments.emplace_back();
        for (int j = starts[r]; j <= segment_last(starts, r, S); ++j) segment.push_back(j);
    }
}

int Vorlanerator::choose_uniform_candidate(int K) { return uniform_candidate(draw(), K); }

void Vorlanerator::fill_alleles(const std::vector<int>& states, double mu, const std::vector<int>* preset_alleles) {
    const int S = static_cast<int>(states.size());
    std::fill(strand_words_.begin(), strand_words_.end(), 0);
    std::size_t next_preset = 0;
    const std::size_t presets = preset_alleles ? dl_indices.size() : 0;
    int current = -1;
    const HaplotypeSet::Word* source = nullptr;
    for (int j = 0; j < S; ++j) {
        const int q = states[static_cast<std::size_t>(j)];
        VORLAN2_CHECK(q >= 0);
        HaplotypeSet::Word allele;
        if (next_preset < presets && dl_indices[next_preset].snp_index == j) {
            allele = static_cast<HaplotypeSet::Word>((*preset_alleles)[next_preset] & 1);
            ++next_preset;
        } else {
            const double u = draw();
            if (q != current) {
                current = q;
                source = candidate_row(q);
            }
            allele = (source[j >> 6] >> (j & 63)) & 1u;
            if (mu > u) allele ^= 1u;
        }
        strand_words_[static_cast<std::size_t>(j >> 6)] |= allele << (j & 63);
    }
    simulated_haplotypes.push_back_words(strand_words_.data());
}

void Vorlanerator::fill_alleles_from_mt(int s, double mu, std::uint32_t flips_below,
                                        const std::vector<int>* preset_alleles) {
    const int S = static_cast<int>(genetic_gaps_.size());
    HaplotypeSet::Word* row = strand_words_.data();
    std::fill(strand_words_.begin(), strand_words_.end(), 0);
    const std::vector<int>& starts = segment_starts_[s];
    const std::vector<int>& states = copying_states_[static_cast<std::size_t>(s)];
    for (std::size_t r = 0; r < starts.size(); ++r) {
        const int last = segment_last(starts, r, S);
        if (last < starts[r]) continue;  // no SNP at all
        const int q = states[static_cast<std::size_t>(starts[r])];
        VORLAN2_CHECK(q >= 0);
        or_bits(candidate_row(q), starts[r], last, row);
    }

    // One draw per SNP that is not preset, in SNP order; an output at or
    // above the floor is a draw that flips nothing.
    const auto flip = [&](int j, std::uint32_t output) {
        if (mu > MT::uniform_of(output)) row[j >> 6] ^= HaplotypeSet::Word{1} << (j & 63);
    };
    const std::size_t presets = preset_alleles ? dl_indices.size() : 0;
    int j = 0;
    for (std::size_t next_preset = 0; j < S; ++next_preset) {
        const int end = next_preset < presets ? dl_indices[next_preset].snp_index : S;
        VORLAN2_CHECK(end >= j);
        while (j < end) {
            int n = 0;
            const std::uint32_t* y = MT::take_outputs(end - j, n);
            const int first = j;
            scan_rare_outputs(
                y, n, [&](int, std::uint32_t output) { return output < flips_below; },
                [&](int i, std::uint32_t output) { flip(first + i, output); });
            j += n;
        }
        if (next_preset < presets) {
            const HaplotypeSet::Word bit = HaplotypeSet::Word{1} << (end & 63);
            row[end >> 6] &= ~bit;
            if ((*preset_alleles)[next_preset] & 1) row[end >> 6] |= bit;
            j = end + 1;
        }
    }
    simulated_haplotypes.push_back_words(row);
}

void Vorlanerator::simulate_all_alleles() {
    std::ostringstream buffer;
    buffer << "\nSimulating haplotypes ... ";
    update_summary_file(params, buffer, std::ios::app);

    const int S = static_cast<int>(panel_data.snps_data.size());
    const int P = panel_data.n_haplotypes;
    const int total_haps = params.simulated_haplotype_count();
    // Nothing installs another generator while the individuals are built.
    draw_from_mt_ = dynamic_cast<MT*>(Random::RNG) != nullptr;
    struct ClearOnExit {
        bool& flag;
        ~ClearOnExit() { flag = false; }
    } clear_on_exit{draw_from_mt_};
    switch_floors_K_ = 0;
    simulated_haplotypes.reset(S, static_cast<std::size_t>(total_haps));
    simulated_phenotypes.clear();
    simulated_phenotypes.reserve(static_cast<std::size_t>(total_haps / 2));
    strand_words_.assign(static_cast<std::size_t>(simulated_haplotypes.words_per_row()), 0);
    disease_columns_.clear();
    disease_candidates_ = 0;
    disease_runs_.clear();

    copying_states_.assign(2, std::vector<int>(static_cast<std::size_t>(S), -1));

    for (int H = 0; H < total_haps; H += 2) {
        const bool is_case = H >= 2 * params.ncontrols;
        const int K[2] = {P + H, P + H + 1};
        const double mu[2] = {0.5 * params.theta / (K[0] + params.theta), 0.5 * params.theta / (K[1] + params.theta)};

        for (int s = 0; s < 2; ++s) {
            if (draw_from_mt_)
                place_switches_from_mt(K[s], segment_starts_[s]);
            else
                place_switches(genetic_gaps_, K[s], segment_starts_[s]);
        }

        // Ordinary segments take their candidate at once; a case's segments
        // holding a disease SNP keep the label -(r + 2) for the case model.
        for (int s = 0; s < 2; ++s) {
            const std::vector<int>& starts = segment_starts_[s];
            std::vector<int>& states = copying_states_[static_cast<std::size_t>(s)];
            auto disease = dl_indices.begin();
            disease_spans_[s].clear();
            for (std::size_t r = 0; r < starts.size(); ++r) {
                const int last = segment_last(starts, r, S);
                while (disease != dl_indices.end() && disease->snp_index < starts[r]) ++disease;
                const bool holds_disease_snp = is_case && disease != dl_indices.end() && disease->snp_index <= last;
                const int state = holds_disease_snp ? -(static_cast<int>(r) + 2) : choose_uniform_candidate(K[s]);
                if (holds_disease_snp) disease_spans_[s].push_back({starts[r], last + 1});
                std::fill(states.begin() + starts[r], states.begin() + last + 1, state);
            }
        }

        if (is_case) simulate_disease_alleles(copying_states_, disease_alleles_, mu, disease_spans_);
        simulated_phenotypes.push_back(is_case ? 1 : 0);

        for (int s = 0; s < 2; ++s) {
            const std::vector<int>* preset = is_case ? &disease_alleles_[static_cast<std::size_t>(s)] : nullptr;
            // Every mutation rate of a run is at most 0.5, so its output count fits the floor.
            const std::uint64_t flips_below = outputs_below(mu[s]);
            if (draw_from_mt_ && flips_below <= 0xffffffffu)
                fill_alleles_from_mt(s, mu[s], static_cast<std::uint32_t>(flips_below), preset);
            else
                fill_alleles(copying_states_[static_cast<std::size_t>(s)], mu[s], preset);
        }
        num_simulated_haps = H + 2;
    }

    buffer << "done\n";
    update_summary_file(params, buffer, std::ios::app);
}
