// The copying model: switch points between copied haplotypes, the copy
// choice per segment, and the alleles of every simulated individual.
#include <algorithm>
#include <cmath>
#include <sstream>

#include "random/random.h"
#include "simulator/invariant.h"
#include "simulator/output_file.h"
#include "simulator/vorlanerator.h"

namespace {

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

// Last SNP index of segment r.
int segment_last(const std::vector<int>& starts, std::size_t r, int S) {
    return r + 1 < starts.size() ? starts[r + 1] - 1 : S - 1;
}

}  // namespace

void Vorlanerator::index_panel() {
    genetic_gaps_ = genetic_gaps(panel_data.snps_data);
    panel_columns_.clear();
    for (const auto& [position, panel_snp] : panel_data.snps_data)
        panel_columns_.push_back(panel_snp.panel_alleles.data());
}

void Vorlanerator::place_switches(const std::vector<double>& gaps, int K, std::vector<int>& starts) const {
    starts.clear();
    starts.push_back(0);
    const double candidates = K;
    const int S = static_cast<int>(gaps.size());
    for (int j = 1; j < S; ++j) {
        const double u = Random::RNG->Next();
        const double e = std::exp(-gaps[j] / candidates);
        if (u > e) starts.push_back(j);
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

int Vorlanerator::choose_uniform_candidate(int K) {
    const double weight = 1.0 / K;
    double u = Random::RNG->Next();
    for (int q = 0; q < K; ++q) {
        u -= weight;
        if (u <= 0.0) return q;
    }
    return K - 1;
}

int Vorlanerator::choose_weighted_candidate(const std::vector<double>& weights) {
    double u = Random::RNG->Next();
    const int K = static_cast<int>(weights.size());
    for (int q = 0; q < K; ++q) {
        u -= weights[q];
        if (u <= 0.0) return q;
    }
    return K - 1;
}

void Vorlanerator::simulate_all_alleles() {
    std::ostringstream buffer;
    buffer << "\nSimulating haplotypes ... ";
    update_summary_file(params, buffer, std::ios::app);

    simulated_haplotypes.clear();
    simulated_phenotypes.clear();
    const int S = static_cast<int>(panel_data.snps_data.size());
    const int P = panel_data.n_haplotypes;
    const int total_haps = 2 * (params.ncontrols + params.ncases);
    simulated_haplotypes.reserve(total_haps);
    simulated_phenotypes.reserve(total_haps / 2);

    copying_states_.assign(2, std::vector<int>(S, -1));
    weights_.reserve(static_cast<std::size_t>(P) + total_haps);

    for (int H = 0; H < total_haps; H += 2) {
        const bool is_case = H >= 2 * params.ncontrols;
        const int K[2] = {P + H, P + H + 1};
        const double mu[2] = {0.5 * params.theta / (K[0] + params.theta),
                              0.5 * params.theta / (K[1] + params.theta)};

        for (int s = 0; s < 2; ++s) {
            simulated_haplotypes.emplace_back(S, unset_allele);
            place_switches(genetic_gaps_, K[s], segment_starts_[s]);
        }

        // Ordinary segments take their candidate at once; a case's segments
        // holding a disease SNP keep the label -(r + 2) for the case model.
        for (int s = 0; s < 2; ++s) {
            const std::vector<int>& starts = segment_starts_[s];
            std::vector<int>& states = copying_states_[s];
            auto disease = dl_indices.begin();
            for (std::size_t r = 0; r < starts.size(); ++r) {
                const int last = segment_last(starts, r, S);
                while (disease != dl_indices.end() && *disease < starts[r]) ++disease;
                const bool holds_disease_snp = is_case && disease != dl_indices.end() && *disease <= last;
                const int state = holds_disease_snp ? -(static_cast<int>(r) + 2) : choose_uniform_candidate(K[s]);
                std::fill(states.begin() + starts[r], states.begin() + last + 1, state);
            }
        }

        if (is_case) {
            simulate_disease_alleles(copying_states_, disease_alleles_, mu);
            for (int s = 0; s < 2; ++s)
                for (std::size_t m = 0; m < dl_indices.size(); ++m)
                    simulated_haplotypes[H + s][dl_indices[m]] = static_cast<std::uint16_t>(disease_alleles_[s][m]);
        }
        simulated_phenotypes.push_back(is_case ? 1 : 0);

        for (int s = 0; s < 2; ++s) {
            std::uint16_t* alleles = simulated_haplotypes[H + s].data();
            const int* states = copying_states_[s].data();
            for (int j = 0; j < S; ++j) {
                const int q = states[j];
                VORLAN2_CHECK(q >= 0);
                if (alleles[j] != unset_allele) continue;
                const double u = Random::RNG->Next();
                int allele = q < P ? panel_columns_[j][q] : simulated_haplotypes[q - P][j];
                if (mu[s] > u) allele = 1 - allele;
                alleles[j] = static_cast<std::uint16_t>(allele);
            }
        }
        num_simulated_haps = H + 2;
    }

    buffer << "done\n";
    update_summary_file(params, buffer, std::ios::app);
}
