// The case disease-allele model: control haplotype frequencies at the disease
// SNPs, the risk-weighted distribution of a case's disease-allele pair, and
// the copy choice of every disease segment.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <utility>

#include "random/random.h"
#include "simulator/disease_choice.h"
#include "simulator/exceptions.h"
#include "simulator/invariant.h"
#include "simulator/physical_memory.h"
#include "simulator/vorlanerator.h"

namespace {

using AlleleTable = std::map<std::vector<int>, double>;
using AlleleList = std::vector<std::pair<std::vector<int>, double>>;

// The allele-vector lists and the pair table grow as 4 to the power of the
// number of disease loci; a table that cannot be held ends the run in order.
[[noreturn]] void refuse_table() {
    throw GenericErrorException{"Error encountered, program terminated: ",
                                "the case model's table of disease-allele pairs for these disease loci is "
                                "larger than this machine's memory; use fewer disease loci.\n"};
}

std::size_t checked_product(std::size_t a, std::size_t b) {
    std::size_t product = 0;
    if (__builtin_mul_overflow(a, b, &product)) refuse_table();
    return product;
}

// Refuses, before any of it is built, a table of `entries` entries of about
// `entry_bytes` each that would not fit in physical memory.
void check_table_fits(std::size_t entries, std::size_t entry_bytes) {
    if (!fits_in_physical_memory(checked_product(entries, entry_bytes))) refuse_table();
}

}  // namespace

void Vorlanerator::calculate_control_hap_freq(const std::vector<int>& snp_list, AlleleTable& freqs) const {
    freqs.clear();
    const int P = panel_data.n_haplotypes;
    const double w = 1 / (2.0 * params.ncontrols + P);
    for (const int j : snp_list) VORLAN2_CHECK(j >= 0 && j < static_cast<int>(panel_data.snps_data.size()));
    std::vector<int> alleles(snp_list.size());
    for (int h = 0; h < P + 2 * params.ncontrols; ++h) {
        const HaplotypeSet::Row row = h < P ? panel_rows_[static_cast<std::size_t>(h)]
                                            : simulated_haplotypes[static_cast<std::size_t>(h - P)];
        for (std::size_t i = 0; i < snp_list.size(); ++i) alleles[i] = row[snp_list[i]];
        const auto found = freqs.find(alleles);
        if (found != freqs.end())
            found->second += w;
        else
            freqs.emplace(alleles, w);
    }
}

void Vorlanerator::calculate_case_hap_freq(const std::vector<std::vector<int>>* groups,
                                           std::map<double, std::vector<std::vector<int>>>& distribution) {
    const std::size_t D = params.dl.size();
    // The control tables first, so that the lists' sizes are known before any is built.
    std::vector<const AlleleTable*> tables[2];
    std::size_t list_size[2] = {1, 1};
    for (int s = 0; s < 2; ++s) {
        for (const std::vector<int>& group : groups[s]) {
            std::vector<int> snp_list;
            for (const int m : group) snp_list.push_back(dl_indices[m]);
            auto cached = control_frequency_cache.find(snp_list);
            if (cached == control_frequency_cache.end()) {
                AlleleTable table;
                calculate_control_hap_freq(snp_list, table);
                cached = control_frequency_cache.emplace(snp_list, std::move(table)).first;
            }
            tables[s].push_back(&cached->second);
            list_size[s] = checked_product(list_size[s], cached->second.size());
        }
    }
    const std::size_t vector_bytes = sizeof(std::vector<int>) + D * sizeof(int);
    for (const std::size_t n : list_size) check_table_fits(n, vector_bytes + sizeof(double));
    const std::size_t pairs = checked_product(list_size[0], list_size[1]);
    check_table_fits(pairs, 64 + sizeof(std::vector<std::vector<int>>) + 2 * vector_bytes);

    AlleleList strand_lists[2];
    for (int s = 0; s < 2; ++s) {
        AlleleList& list = strand_lists[s];
        for (const AlleleTable* table : tables[s]) {
            if (list.empty()) {
                for (const auto& [alleles, frequency] : *table) list.emplace_back(alleles, frequency);
                continue;
            }
            AlleleList product;
            product.reserve(list.size() * table->size());
            for (const auto& [old_alleles, old_probability] : list) {
                for (const auto& [alleles, frequency] : *table) {
                    std::vector<int> joined = old_alleles;
                    joined.insert(joined.end(), alleles.begin(), alleles.end());
                    product.emplace_back(std::move(joined), old_probability * frequency);
                }
            }
            list = std::move(product);
        }
    }

    std::vector<const DiseaseLocus*> loci;
    for (const auto& [position, locus] : params.dl) loci.push_back(&locus);
    std::map<double, std::pair<std::size_t, std::size_t>> recorded;
    double total = 0;
    for (std::size_t i = 0; i < strand_lists[0].size(); ++i) {
        const auto& [a, f_a] = strand_lists[0][i];
        for (std::size_t k = 0; k < strand_lists[1].size(); ++k) {
            const auto& [b, f_b] = strand_lists[1][k];
            VORLAN2_CHECK(a.size() == b.size());
            VORLAN2_CHECK(a.size() == D);
            double r = 1.0;
            for (std::size_t m = 0; m < D; ++m) r *= loci[m]->rr[a[m] + b[m]];
            total = total + r * f_a * f_b;
            recorded.emplace(total, std::make_pair(i, k));
        }
    }
    if (!std::isfinite(total) || !(total > 0.0))
        throw GenericErrorException{
            "Error encountered, program terminated: ",
            "the relative risks give the disease-allele pairs of a case a total weight of " +
                std::to_string(total) + "; it must be finite and positive.\n"};

    distribution.clear();
    for (const auto& [key, pair] : recorded)
        distribution.emplace_hint(distribution.end(), key / total,
                                  std::vector<std::vector<int>>{strand_lists[0][pair.first].first,
                                                                strand_lists[1][pair.second].first});
}

void Vorlanerator::update_disease_columns(int candidates) {
    disease_columns_.resize(dl_indices.size());
    const int P = panel_data.n_haplotypes;
    for (std::size_t m = 0; m < dl_indices.size(); ++m) {
        auto& column = disease_columns_[m];
        for (int q = static_cast<int>(column.size()); q < candidates; ++q) {
            const HaplotypeSet::Row row = q < P ? panel_rows_[static_cast<std::size_t>(q)]
                                                : simulated_haplotypes[static_cast<std::size_t>(q - P)];
            column.push_back(static_cast<std::uint8_t>(row[dl_indices[m]]));
        }
    }
}

void Vorlanerator::simulate_disease_alleles(std::vector<std::vector<int>>& copying_states,
                                            std::vector<std::vector<int>>& disease_alleles,
                                            const double* mutation_rates) {
    VORLAN2_CHECK(copying_states.size() == 2);
    VORLAN2_CHECK(dl_indices.size() >= 1);
    VORLAN2_CHECK(num_simulated_haps >= 2 * params.ncontrols);
    const int D = static_cast<int>(dl_indices.size());

    grouping_text_.clear();
    for (int s = 0; s < 2; ++s) {
        const std::vector<int>& states = copying_states[s];
        std::vector<std::vector<int>>& groups = groups_[s];
        groups.assign(1, std::vector<int>{0});
        for (int m = 1; m < D; ++m) {
            if (states[dl_indices[m]] == states[dl_indices[groups.back().front()]]) {
                groups.back().push_back(m);
            } else {
                grouping_text_ += std::to_string(groups.back().size()) + ".";
                groups.push_back({m});
            }
        }
        grouping_text_ += std::to_string(groups.back().size()) + "/";
    }

    auto cached = case_distribution_cache.find(grouping_text_);
    if (cached == case_distribution_cache.end()) {
        std::map<double, std::vector<std::vector<int>>> distribution;
        calculate_case_hap_freq(groups_, distribution);
        cached = case_distribution_cache.emplace(grouping_text_, std::move(distribution)).first;
    }
    const double u = draw();
    const auto drawn = cached->second.upper_bound(u);
    VORLAN2_CHECK(drawn != cached->second.end());
    disease_alleles = drawn->second;

    update_disease_columns(panel_data.n_haplotypes + num_simulated_haps);
    // The segments in draw order: strand 0's groups, then strand 1's.
    disease_segments_.clear();
    std::size_t largest_group = 0;
    for (int s = 0; s < 2; ++s) {
        for (const std::vector<int>& group : groups_[s]) {
            DiseaseSegmentChoice segment;
            segment.loci = static_cast<int>(group.size());
            segment.mu = mutation_rates[s];
            disease_segments_.push_back(segment);
            largest_group = std::max(largest_group, group.size());
        }
    }
    if (largest_group <= static_cast<std::size_t>(max_pattern_loci))
        choose_disease_candidates_by_pattern(disease_alleles);
    else
        choose_disease_candidates_by_weight(disease_alleles);

    // The segment's entries all carry its label, in one run around its first disease SNP.
    std::size_t index = 0;
    for (int s = 0; s < 2; ++s) {
        std::vector<int>& states = copying_states[static_cast<std::size_t>(s)];
        for (const std::vector<int>& group : groups_[s]) {
            const int chosen = disease_segments_[index++].chosen;
            const int first_snp = dl_indices[group.front()];
            const int label = states[first_snp];
            for (int k = first_snp; k >= 0 && states[k] == label; --k) states[k] = chosen;
            for (int k = first_snp + 1; k < static_cast<int>(states.size()) && states[k] == label; ++k)
                states[k] = chosen;
        }
    }
}

void Vorlanerator::choose_disease_candidates_by_weight(const std::vector<std::vector<int>>& disease_alleles) {
    const int P = panel_data.n_haplotypes;
    const int H = num_simulated_haps;
    std::size_t index = 0;
    for (int s = 0; s < 2; ++s) {
        for (const std::vector<int>& group : groups_[s]) {
            DiseaseSegmentChoice& segment = disease_segments_[index++];
            const double mu = segment.mu;
            const double keep = 1 - mu;
            weights_.assign(static_cast<std::size_t>(P + H + s), 1.0);
            for (const int m : group) {
                const int a = disease_alleles[s][m];
                // Panel haplotypes, then the simulated ones before this individual.
                const std::uint8_t* column = disease_columns_[static_cast<std::size_t>(m)].data();
                for (int q = 0; q < P + H; ++q) weights_[q] *= column[q] == a ? keep : mu;
                if (s == 1) weights_[P + H] *= disease_alleles[0][m] == a ? keep : mu;
            }
            double sum = 0;
            for (const double weight : weights_) sum += weight;
            for (double& weight : weights_) weight /= sum;
            segment.chosen = choose_weighted_candidate(weights_);
        }
    }
}

void Vorlanerator::choose_disease_candidates_by_pattern(const std::vector<std::vector<int>>& disease_alleles) {
    const int shared = panel_data.n_haplotypes + num_simulated_haps;
    for (DiseaseSegmentChoice& segment : disease_segments_) segment.u = draw();
    // Patterns for a few segments at a time, however many disease segments there are.
    disease_patterns_.resize(static_cast<std::size_t>(disease_choice_lanes) * static_cast<std::size_t>(shared));
    std::size_t index = 0;
    std::size_t first_pending = 0;
    for (int s = 0; s < 2; ++s) {
        for (const std::vector<int>& group : groups_[s]) {
            DiseaseSegmentChoice& segment = disease_segments_[index];
            std::uint8_t* patterns =
                disease_patterns_.data() + (index - first_pending) * static_cast<std::size_t>(shared);
            std::fill(patterns, patterns + shared, std::uint8_t{0});
            if (s == 1) segment.extra_pattern = 0;  // the same individual's strand 0, the last candidate
            for (std::size_t k = 0; k < group.size(); ++k) {
                const std::size_t m = static_cast<std::size_t>(group[k]);
                const int a = disease_alleles[s][m];
                const std::uint8_t* column = disease_columns_[m].data();
                for (int q = 0; q < shared; ++q) patterns[q] |= static_cast<std::uint8_t>((column[q] == a) << k);
                if (s == 1) segment.extra_pattern |= (disease_alleles[0][m] == a) << k;
            }
            segment.patterns = patterns;
            ++index;
            if (index - first_pending == static_cast<std::size_t>(disease_choice_lanes) ||
                index == disease_segments_.size()) {
                choose_disease_candidates(disease_segments_.data() + first_pending, index - first_pending, shared);
                first_pending = index;
            }
        }
    }
}
