// The case disease-allele model: control haplotype frequencies at the disease
// SNPs, the risk-weighted distribution of a case's disease-allele pair, and
// the copy choice of every disease segment, within a bounded memory.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <sstream>
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

using Word = AlleleCodes::Word;

std::size_t saturating_add(std::size_t a, std::size_t b) {
    std::size_t sum = 0;
    return __builtin_add_overflow(a, b, &sum) ? std::numeric_limits<std::size_t>::max() : sum;
}

std::size_t saturating_mul(std::size_t a, std::size_t b) {
    std::size_t product = 0;
    return __builtin_mul_overflow(a, b, &product) ? std::numeric_limits<std::size_t>::max() : product;
}

std::size_t megabytes(std::size_t bytes) {
    return bytes / (std::size_t{1} << 20) + (bytes % (std::size_t{1} << 20) != 0);
}

// Refuses tables that the case model could not hold: before the work when
// the worst grouping of the loci could not be, and otherwise for a grouping
// that cannot (a direct call with more loci than a run ever sees).
[[noreturn]] void refuse_tables(std::size_t loci, std::size_t needed, std::size_t limit) {
    std::ostringstream reason;
    reason << "the case model's tables for these " << loci << " disease loci would need ";
    if (needed == std::numeric_limits<std::size_t>::max())
        reason << "more than 2^64 bytes";
    else
        reason << megabytes(needed) << " MB";
    reason << ", more than the " << megabytes(limit) << " MB it may hold; use fewer disease loci.\n";
    throw GenericErrorException{"Error encountered, program terminated: ", reason.str()};
}

// min(2^loci, cap), the most distinct allele vectors at `loci` loci among cap haplotypes.
std::size_t vectors_at_most(std::size_t loci, std::size_t cap) {
    return loci >= 63 ? cap : std::min(std::size_t{1} << loci, cap);
}

// The bytes an allele-code run of `loci` loci over K candidates takes at the
// most: codes, stored counts, packed vectors, counts and the trie.
std::size_t run_bytes_at_most(std::size_t loci, std::size_t K) {
    const std::size_t codes = vectors_at_most(loci, K + 1);
    const std::size_t words = (loci + 63) / 64;
    std::size_t bytes = saturating_mul(K, sizeof(AlleleCodes::Code));
    bytes = saturating_add(bytes, saturating_mul(saturating_add(saturating_add(saturating_mul(K, 8), 4096), codes),
                                                 sizeof(std::uint32_t)));
    bytes = saturating_add(bytes, saturating_mul(codes, words * sizeof(Word) + sizeof(std::uint32_t)));
    for (std::size_t k = 0; k < loci; ++k)
        bytes = saturating_add(bytes, saturating_mul(vectors_at_most(k, codes), 2 * sizeof(AlleleCodes::Code)));
    return bytes;
}

// Packs alleles [first, first + loci) of a vector of one allele per locus.
void pack(const std::vector<int>& alleles, int first, int loci, std::vector<Word>& packed) {
    packed.assign(static_cast<std::size_t>((loci + 63) / 64), 0);
    for (int k = 0; k < loci; ++k)
        if (alleles[static_cast<std::size_t>(first + k)] & 1)
            packed[static_cast<std::size_t>(k >> 6)] |= Word{1} << (k & 63);
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

void Vorlanerator::limit_case_model(std::size_t bytes) {
    case_model_most_ = bytes;
    share_case_model_memory(bytes);
}

void Vorlanerator::share_case_model_memory(std::size_t bytes) {
    case_model_limit_ = bytes;
    case_distribution_cache.set_limit(bytes / 2);
    disease_runs_.set_limit(bytes / 4);
    control_frequency_cache.set_limit(bytes / 8);
}

void Vorlanerator::prepare_case_model(std::size_t memory_left) {
    share_case_model_memory(std::min(case_model_most_, memory_left));
    if (params.ncases <= 0 || dl_indices.empty()) return;
    const std::size_t D = dl_indices.size();
    const std::size_t words = (D + 63) / 64;
    const std::size_t R = static_cast<std::size_t>(panel_data.n_haplotypes) +
                          2 * static_cast<std::size_t>(params.ncontrols);
    const std::size_t K = R + 2 * static_cast<std::size_t>(params.ncases);

    // The finest grouping: loci part only where some switch between them can
    // happen, across a SNP of a positive genetic distance from the one before.
    std::vector<std::size_t> finest;
    std::size_t group = 1;
    for (std::size_t m = 1; m < D; ++m) {
        bool can_part = false;
        for (int j = dl_indices[m - 1].snp_index + 1; j <= dl_indices[m].snp_index; ++j)
            can_part = can_part || genetic_gaps_[static_cast<std::size_t>(j)] > 0.0;
        if (can_part) {
            finest.push_back(group);
            group = 0;
        }
        ++group;
    }
    finest.push_back(group);
    std::size_t list = 1;
    for (const std::size_t loci : finest) list = saturating_mul(list, vectors_at_most(loci, R));
    // The most entries the tables of one grouping can hold, over every way of
    // cutting the loci into groups.
    std::vector<std::size_t> most(D + 1, 0);
    for (std::size_t n = 1; n <= D; ++n)
        for (std::size_t loci = 1; loci <= n; ++loci)
            most[n] = std::max(most[n], saturating_add(most[n - loci], vectors_at_most(loci, R)));

    const std::size_t lists = saturating_mul(2, list_bytes(list, static_cast<int>(D)));
    const std::size_t tables = saturating_mul(saturating_mul(2, most[D]), words * sizeof(Word) + sizeof(double));
    const std::size_t columns = saturating_mul(D, ((K + 63) / 64) * sizeof(Word));
    const std::size_t run = saturating_add(columns, run_bytes_at_most(D, K));
    if (lists > case_distribution_cache.limit() || tables > control_frequency_cache.limit() ||
        run > disease_runs_.limit())
        refuse_tables(D, saturating_add(saturating_add(lists, tables), run), case_model_limit_);
}

void Vorlanerator::calculate_control_hap_freq(const std::vector<int>& snp_list,
                                              std::map<std::vector<int>, double>& freqs) const {
    freqs.clear();
    const int P = panel_data.n_haplotypes;
    const int loci = static_cast<int>(snp_list.size());
    for (const int j : snp_list) VORLAN2_CHECK(j >= 0 && j < static_cast<int>(panel_data.snps_data.size()));
    const int haplotypes = P + 2 * params.ncontrols;
    const double w = 1 / (2.0 * params.ncontrols + P);
    if (loci == 0) {
        // Every haplotype's vector is the empty one.
        double frequency = w;
        for (int h = 1; h < haplotypes; ++h) frequency += w;
        if (haplotypes > 0) freqs.emplace(std::vector<int>{}, frequency);
        return;
    }
    AlleleCodes codes(loci);
    std::vector<Word> packed(static_cast<std::size_t>(codes.words()));
    for (int h = 0; h < haplotypes; ++h) {
        const HaplotypeSet::Row row = h < P ? panel_rows_[static_cast<std::size_t>(h)]
                                            : simulated_haplotypes[static_cast<std::size_t>(h - P)];
        std::fill(packed.begin(), packed.end(), 0);
        for (int k = 0; k < loci; ++k)
            if (row[snp_list[static_cast<std::size_t>(k)]])
                packed[static_cast<std::size_t>(k >> 6)] |= Word{1} << (k & 63);
        codes.push_back(packed.data());
    }
    const ControlTable table = control_table(codes, static_cast<std::size_t>(haplotypes), w);
    std::vector<int> alleles(snp_list.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        for (int k = 0; k < loci; ++k) alleles[static_cast<std::size_t>(k)] = (table.entry(i)[k >> 6] >> (k & 63)) & 1u;
        freqs.emplace_hint(freqs.end(), alleles, table.frequency[i]);
    }
}

void Vorlanerator::extend_disease_columns(int candidates) {
    const std::size_t D = dl_indices.size();
    disease_columns_.resize(D);
    const std::size_t words = (static_cast<std::size_t>(candidates) + 63) / 64;
    for (std::size_t m = 0; m < D; ++m) {
        std::vector<Word>& column = disease_columns_[m];
        column.resize(words, 0);
        const int j = dl_indices[m].snp_index;
        for (int q = disease_candidates_; q < candidates; ++q)
            column[static_cast<std::size_t>(q) >> 6] |= ((candidate_row(q)[j >> 6] >> (j & 63)) & 1u) << (q & 63);
    }
    disease_candidates_ = std::max(disease_candidates_, candidates);
}

AlleleCodes& Vorlanerator::disease_run(int first, int loci) {
    const std::pair<int, int> key{first, loci};
    AlleleCodes* run = disease_runs_.find(key);
    if (run == nullptr) run = &disease_runs_.insert(key, AlleleCodes(loci), 0);
    disease_runs_.pin(key);
    std::vector<Word>& packed = packed_alleles_;
    for (int q = static_cast<int>(run->size()); q < disease_candidates_; ++q) {
        packed.assign(static_cast<std::size_t>(run->words()), 0);
        for (int k = 0; k < loci; ++k)
            packed[static_cast<std::size_t>(k >> 6)] |=
                ((disease_columns_[static_cast<std::size_t>(first + k)][static_cast<std::size_t>(q) >> 6] >> (q & 63)) &
                 1u)
                << (k & 63);
        run->push_back(packed.data());
    }
    disease_runs_.resize(key, run->bytes());
    return *run;
}

const ControlTable& Vorlanerator::control_table_of(int first, int loci) {
    std::vector<int> snp_list;
    for (int m = first; m < first + loci; ++m) snp_list.push_back(dl_indices[static_cast<std::size_t>(m)].snp_index);
    if (const ControlTable* cached = control_frequency_cache.find(snp_list)) {
        control_frequency_cache.pin(snp_list);
        return *cached;
    }
    const std::size_t haplotypes = static_cast<std::size_t>(panel_data.n_haplotypes) +
                                   2 * static_cast<std::size_t>(params.ncontrols);
    ControlTable table =
        control_table(disease_run(first, loci), haplotypes, 1 / (2.0 * params.ncontrols + panel_data.n_haplotypes));
    const std::size_t bytes = table.bytes();
    ControlTable& stored = control_frequency_cache.insert(snp_list, std::move(table), bytes);
    control_frequency_cache.pin(snp_list);
    return stored;
}

PairDistribution Vorlanerator::make_case_distribution(const std::vector<std::vector<int>>* groups) {
    const std::size_t D = dl_indices.size();
    std::vector<const ControlTable*> tables[2];
    for (int s = 0; s < 2; ++s)
        for (const std::vector<int>& group : groups[s])
            tables[s].push_back(&control_table_of(group.front(), static_cast<int>(group.size())));
    const std::size_t lists = saturating_add(list_bytes(list_entries(tables[0]), static_cast<int>(D)),
                                             list_bytes(list_entries(tables[1]), static_cast<int>(D)));
    if (list_entries(tables[0]) == 0 || list_entries(tables[1]) == 0 || lists > case_distribution_cache.limit())
        refuse_tables(D, lists, case_model_limit_);

    PairDistribution::Risks risks;
    for (const DiseaseSnp& disease : dl_indices)
        risks.push_back({disease.locus.rr[0], disease.locus.rr[1], disease.locus.rr[2]});
    PairDistribution distribution(strand_list(tables[0], static_cast<int>(D)),
                                  strand_list(tables[1], static_cast<int>(D)), std::move(risks),
                                  case_distribution_cache.limit() / 8);
    control_frequency_cache.unpin_all();
    disease_runs_.unpin_all();
    const double total = distribution.total();
    if (!std::isfinite(total) || !(total > 0.0))
        throw GenericErrorException{"Error encountered, program terminated: ",
                                    "the relative risks give the disease-allele pairs of a case a total weight of " +
                                        std::to_string(total) + "; it must be finite and positive.\n"};
    return distribution;
}

void Vorlanerator::calculate_case_hap_freq(const std::vector<std::vector<int>>* groups,
                                           std::map<double, std::vector<std::vector<int>>>& distribution) {
    extend_disease_columns(panel_data.n_haplotypes + std::max(num_simulated_haps, 2 * params.ncontrols));
    const PairDistribution pairs = make_case_distribution(groups);
    distribution.clear();
    std::vector<std::vector<int>> alleles(2);
    for (const auto& [key, pair] : pairs.entries()) {
        pairs.alleles(pair, 0, alleles[0]);
        pairs.alleles(pair, 1, alleles[1]);
        distribution.emplace_hint(distribution.end(), key, alleles);
    }
}

void Vorlanerator::simulate_disease_alleles(std::vector<std::vector<int>>& copying_states,
                                            std::vector<std::vector<int>>& disease_alleles,
                                            const double* mutation_rates) {
    simulate_disease_alleles(copying_states, disease_alleles, mutation_rates, nullptr);
}

void Vorlanerator::simulate_disease_alleles(std::vector<std::vector<int>>& copying_states,
                                            std::vector<std::vector<int>>& disease_alleles,
                                            const double* mutation_rates, const std::vector<Span>* spans) {
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
            if (states[dl_indices[m].snp_index] == states[dl_indices[groups.back().front()].snp_index]) {
                groups.back().push_back(m);
            } else {
                grouping_text_ += std::to_string(groups.back().size()) + ".";
                groups.push_back({m});
            }
        }
        grouping_text_ += std::to_string(groups.back().size()) + "/";
    }

    const int shared = panel_data.n_haplotypes + num_simulated_haps;
    extend_disease_columns(shared);
    PairDistribution* distribution = case_distribution_cache.find(grouping_text_);
    if (distribution == nullptr) {
        PairDistribution made = make_case_distribution(groups_);
        const std::size_t bytes = made.bytes();
        distribution = &case_distribution_cache.insert(grouping_text_, std::move(made), bytes);
    }
    const std::size_t pair = distribution->draw(draw());
    disease_alleles.resize(2);
    distribution->alleles(pair, 0, disease_alleles[0]);
    distribution->alleles(pair, 1, disease_alleles[1]);

    // The segments in draw order: strand 0's groups, then strand 1's. Their
    // runs stay while the choices that read them are pending; when the runs
    // of one case would not fit together, the choices made so far are
    // settled first (each choice depends on its own draw alone).
    disease_segments_.clear();
    for (int s = 0; s < 2; ++s) {
        for (std::size_t g = 0; g < groups_[s].size(); ++g) {
            DiseaseSegmentChoice segment;
            segment.mu = mutation_rates[s];
            segment.u = draw();
            disease_segments_.push_back(segment);
        }
    }
    std::size_t settled = 0;
    std::size_t index = 0;
    for (int s = 0; s < 2; ++s) {
        for (const std::vector<int>& group : groups_[s]) {
            const int first = group.front();
            const int loci = static_cast<int>(group.size());
            const std::size_t room =
                saturating_add(disease_runs_.pinned_bytes(), saturating_mul(static_cast<std::size_t>(shared), 8));
            if (disease_runs_.count({first, loci}) == 0 && room > disease_runs_.limit() && index > settled) {
                disease_chooser_.choose(disease_segments_.data() + settled, index - settled, shared);
                disease_runs_.unpin_all();
                settled = index;
            }
            AlleleCodes& run = disease_run(first, loci);
            DiseaseSegmentChoice& segment = disease_segments_[index++];
            segment.codes = &run;
            pack(disease_alleles[static_cast<std::size_t>(s)], first, loci, packed_alleles_);
            segment.drawn = run.code_of(packed_alleles_.data());
            if (s == 1) {
                // The same individual's strand 0, the last candidate.
                pack(disease_alleles[0], first, loci, packed_alleles_);
                segment.extra_code = static_cast<int>(run.code_of(packed_alleles_.data()));
            }
        }
    }
    disease_chooser_.choose(disease_segments_.data() + settled, index - settled, shared);
    disease_runs_.unpin_all();

    // The segment's entries all carry its label, in one run around its first
    // disease SNP, unless the caller knows where the segments lie.
    index = 0;
    for (int s = 0; s < 2; ++s) {
        std::vector<int>& states = copying_states[static_cast<std::size_t>(s)];
        if (spans) VORLAN2_CHECK(spans[s].size() == groups_[s].size());
        for (std::size_t g = 0; g < groups_[s].size(); ++g) {
            const int chosen = disease_segments_[index++].chosen;
            const auto [first, end] = spans ? spans[s][g]
                                            : run_around(states, dl_indices[groups_[s][g].front()].snp_index);
            std::fill(states.begin() + first, states.begin() + end, chosen);
        }
    }
}
