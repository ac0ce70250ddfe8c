// The case disease-allele model: control haplotype frequencies at the disease
// SNPs, the risk-weighted distribution of a case's disease-allele pair, and
// the copy choice of every disease segment.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

#include "common/exceptions.h"
#include "common/invariant.h"
#include "random/random.h"
#include "simulator/disease_choice.h"
#include "simulator/usable_memory.h"
#include "simulator/vorlanerator.h"

using namespace vorlan2;

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
// `entry_bytes` each that would not fit in the memory the process may use.
void check_table_fits(std::size_t entries, std::size_t entry_bytes) {
    if (!fits_in_usable_memory(checked_product(entries, entry_bytes))) refuse_table();
}

// The index chosen by u among weights that sum to one: the weights
// subtracted from u in index order until the rest is not positive (the last
// index when it stays positive).
int weighted_candidate(double u, const std::vector<double>& weights) {
    const int K = static_cast<int>(weights.size());
    for (int q = 0; q < K; ++q) {
        u -= weights[q];
        if (u <= 0.0) return q;
    }
    return K - 1;
}

// Entries compared at a time when a run of equal entries is measured.
constexpr int run_chunk = 64;

// The run of entries equal to entry k around it, as [first, end); compared
// a chunk at a time with memcmp, which the C library does in vector
// instructions.
std::pair<int, int> run_around(const std::vector<int>& states, int k) {
    const int label = states[static_cast<std::size_t>(k)];
    int chunk[run_chunk];
    std::fill(chunk, chunk + run_chunk, label);
    const int* entries = states.data();
    const int n = static_cast<int>(states.size());
    int end = k + 1;
    while (end + run_chunk <= n && std::memcmp(entries + end, chunk, sizeof chunk) == 0) end += run_chunk;
    while (end < n && entries[end] == label) ++end;
    int first = k;
    while (first >= run_chunk && std::memcmp(entries + first - run_chunk, chunk, sizeof chunk) == 0) first -= run_chunk;
    while (first > 0 && entries[first - 1] == label) --first;
    return {first, end};
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
        throw GenericErrorException{"Error encountered, program terminated: ",
                                    "the relative risks give the disease-allele pairs of a case a total weight of " +
                                        std::to_string(total) + "; it must be finite and positive.\n"};

    distribution.clear();
    for (const auto& [key, pair] : recorded)
        distribution.emplace_hint(
            distribution.end(), key / total,
            std::vector<std::vector<int>>{strand_lists[0][pair.first].first, strand_lists[1][pair.second].first});
}

void Vorlanerator::update_allele_codes(int candidates) {
    const std::size_t D = dl_indices.size();
    constexpr std::size_t runs_per_locus = AlleleCodes::max_loci;
    if (allele_codes_.empty()) {
        allele_codes_.resize(D * runs_per_locus);
        for (std::size_t m = 0; m < D; ++m) allele_codes_[m * runs_per_locus] = AlleleCodes(1);
    }
    for (std::size_t m = 0; m < D; ++m) {
        AlleleCodes& codes = allele_codes_[m * runs_per_locus];
        const int j = dl_indices[m];
        for (int q = static_cast<int>(codes.size()); q < candidates; ++q)
            codes.push_back(static_cast<AlleleCodes::Code>((candidate_row(q)[j >> 6] >> (j & 63)) & 1u));
    }
    for (std::size_t i = 0; i < allele_codes_.size(); ++i)
        if (allele_codes_[i].loci() > 1) extend_allele_codes(static_cast<int>(i / runs_per_locus), allele_codes_[i]);
}

void Vorlanerator::extend_allele_codes(int first, AlleleCodes& codes) const {
    const std::size_t candidates = allele_codes_[static_cast<std::size_t>(first) * AlleleCodes::max_loci].size();
    for (std::size_t q = codes.size(); q < candidates; ++q) {
        int code = 0;
        for (int k = 0; k < codes.loci(); ++k)
            code |= allele_codes_[static_cast<std::size_t>(first + k) * AlleleCodes::max_loci].codes()[q] << k;
        codes.push_back(static_cast<AlleleCodes::Code>(code));
    }
}

const AlleleCodes& Vorlanerator::allele_codes(int first, int loci) {
    AlleleCodes& codes =
        allele_codes_[static_cast<std::size_t>(first) * AlleleCodes::max_loci + static_cast<std::size_t>(loci - 1)];
    if (codes.loci() == 0) {
        codes = AlleleCodes(loci);
        extend_allele_codes(first, codes);
    }
    return codes;
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

    const int shared = panel_data.n_haplotypes + num_simulated_haps;
    update_allele_codes(shared);
    // The segments in draw order: strand 0's groups, then strand 1's, with
    // their codes where a code holds all of their loci.
    disease_segments_.clear();
    for (int s = 0; s < 2; ++s) {
        for (const std::vector<int>& group : groups_[s]) {
            DiseaseSegmentChoice segment;
            segment.mu = mutation_rates[s];
            segment.u = draw();
            const int loci = static_cast<int>(group.size());
            if (loci <= AlleleCodes::max_loci) {
                segment.codes = &allele_codes(group.front(), loci);
                if (s == 1) segment.extra_code = 0;  // the same individual's strand 0, the last candidate
                for (int k = 0; k < loci; ++k) {
                    const std::size_t m = static_cast<std::size_t>(group[static_cast<std::size_t>(k)]);
                    segment.drawn |= disease_alleles[static_cast<std::size_t>(s)][m] << k;
                    if (s == 1) segment.extra_code |= disease_alleles[0][m] << k;
                }
            } else {
                segment.chosen = choose_disease_candidate_by_weight(s, group, disease_alleles, segment.mu, segment.u);
            }
            disease_segments_.push_back(segment);
        }
    }
    choose_disease_candidates(disease_segments_.data(), disease_segments_.size(), shared);

    // The segment's entries all carry its label, in one run around its first disease SNP.
    std::size_t index = 0;
    for (int s = 0; s < 2; ++s) {
        std::vector<int>& states = copying_states[static_cast<std::size_t>(s)];
        for (const std::vector<int>& group : groups_[s]) {
            const int chosen = disease_segments_[index++].chosen;
            const auto [first, end] = run_around(states, dl_indices[group.front()]);
            std::fill(states.begin() + first, states.begin() + end, chosen);
        }
    }
}

int Vorlanerator::choose_disease_candidate_by_weight(int s, const std::vector<int>& group,
                                                     const std::vector<std::vector<int>>& disease_alleles, double mu,
                                                     double u) {
    const int P = panel_data.n_haplotypes;
    const int H = num_simulated_haps;
    const double keep = 1 - mu;
    weights_.assign(static_cast<std::size_t>(P + H + s), 1.0);
    for (const int m : group) {
        const int a = disease_alleles[static_cast<std::size_t>(s)][static_cast<std::size_t>(m)];
        // Panel haplotypes, then the simulated ones before this individual.
        const AlleleCodes::Code* column = allele_codes(m, 1).codes();
        for (int q = 0; q < P + H; ++q) weights_[q] *= column[q] == a ? keep : mu;
        if (s == 1) weights_[P + H] *= disease_alleles[0][m] == a ? keep : mu;
    }
    double sum = 0;
    for (const double weight : weights_) sum += weight;
    for (double& weight : weights_) weight /= sum;
    return weighted_candidate(u, weights_);
}
